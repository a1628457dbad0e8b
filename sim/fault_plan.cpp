#include "sim/fault_plan.h"

#include "sim/sim_path.h"

namespace tw::sim {

std::size_t FaultPlan::add(FaultRule rule) {
    rules_.push_back(std::move(rule));
    return rules_.size() - 1;
}

std::optional<std::uint32_t> FaultPlan::check(std::string_view function,
                                              std::u16string_view argument) {
    std::optional<std::uint32_t> result;
    for (FaultRule& rule : rules_) {
        if (rule.function != function) {
            continue;
        }
        if (!rule.argumentContains.empty() && !ContainsNoCase(argument, rule.argumentContains)) {
            continue;
        }
        ++rule.matchingCalls;
        bool fires = rule.persistent ? rule.matchingCalls >= rule.nthCall
                                     : rule.matchingCalls == rule.nthCall;
        if (fires && !result) {
            ++rule.fired;
            result = rule.error;
        }
    }
    if (!result && source_ != nullptr) {
        auto listed = random_.errors.find(function);
        if (listed != random_.errors.end() && !listed->second.empty()) {
            // 53 random bits as a fraction in [0, 1): the same on every platform,
            // unlike the standard distributions.
            double draw = static_cast<double>((*source_)() >> 11) * 0x1.0p-53;
            if (draw < random_.rate) {
                const std::vector<std::uint32_t>& codes = listed->second;
                std::uint32_t error = codes[(*source_)() % codes.size()];
                randomFired_.push_back({std::string(function), std::u16string(argument), error});
                result = error;
            }
        }
    }
    return result;
}

void FaultPlan::enableRandom(RandomFaults faults, std::mt19937_64& source) {
    random_ = std::move(faults);
    source_ = &source;
}

std::vector<const FaultRule*> FaultPlan::unfired() const {
    std::vector<const FaultRule*> out;
    for (const FaultRule& rule : rules_) {
        if (rule.fired == 0) {
            out.push_back(&rule);
        }
    }
    return out;
}

}  // namespace tw::sim
