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
    return result;
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
