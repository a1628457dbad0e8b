// Faults injected into the simulated system calls. A rule names the function,
// optionally a text its argument must contain (a path, a name) and which of the
// matching calls fails (the first, or the Nth); the call then fails with the
// rule's error code, once or from then on. Every rule counts how often it
// fired, so a test can check that the fault it planned really happened.
#pragma once

#include <cstdint>
#include <optional>
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

  private:
    std::vector<FaultRule> rules_;
};

}  // namespace tw::sim
