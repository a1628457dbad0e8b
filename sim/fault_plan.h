// Faults injected into the simulated system calls. A rule names the function,
// optionally a text its argument must contain (a path, a name) and which of the
// matching calls fails (the first, or the Nth); the call then fails with the
// rule's error code, once or from then on. Every rule counts how often it
// fired, so a test can check that the fault it planned really happened.
// For long runs a seeded random mode fails calls of chosen functions at a set
// rate, drawing from the machine's random source, so that the same seed gives
// the same faults.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tw::sim {

struct FaultRule {
    std::string function;             // "CreateProcessW", "DeleteFileW", ...
    std::u16string argumentContains;  // empty: any argument (case-insensitive match)
    std::uint32_t nthCall = 1;        // the first matching call that fails (1-based)
    std::uint32_t error = 0;          // the code GetLastError gives after it
    bool persistent = false;          // fail every matching call from the Nth on
    // Bookkeeping.
    std::uint32_t matchingCalls = 0;
    std::uint32_t fired = 0;
};

// Random faults: each call of a listed function fails with probability
// `rate`, with one of that function's error codes.
struct RandomFaults {
    double rate = 0;
    std::map<std::string, std::vector<std::uint32_t>, std::less<>> errors;
};

// A random fault that fired: which call, with which code.
struct RandomFault {
    std::string function;
    std::u16string argument;
    std::uint32_t error = 0;
};

class FaultPlan {
  public:
    // Adds a rule and returns its index, for fired().
    std::size_t add(FaultRule rule);

    // Called by every simulated function: counts the call against the rules
    // that match it and returns the error of the first rule that fires.
    std::optional<std::uint32_t> check(std::string_view function,
                                       std::u16string_view argument = {});

    std::uint32_t fired(std::size_t index) const { return rules_.at(index).fired; }
    const std::vector<FaultRule>& rules() const { return rules_; }
    // The rules that never fired, for a test's final check.
    std::vector<const FaultRule*> unfired() const;

    // Turns the random mode on. Planned rules still come first; a call that
    // no rule fails may then fail at random. `source` must outlive the plan.
    void enableRandom(RandomFaults faults, std::mt19937_64& source);
    const std::vector<RandomFault>& randomFired() const { return randomFired_; }

  private:
    std::vector<FaultRule> rules_;
    RandomFaults random_;
    std::mt19937_64* source_ = nullptr;
    std::vector<RandomFault> randomFired_;
};

}  // namespace tw::sim
