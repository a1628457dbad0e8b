// What tarnwell-sim prints about a run: a timeline in virtual time with a
// summary, as text for people or as JSON for other tools (keys in the order
// shown here, for people who read the JSON too).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "tools/tarnwell_sim/run.h"

namespace tw::tarnwell_sim {

struct ReportOptions {
    bool withCalls = false;  // every system call too, not only what changed or showed
};

std::string FormatReport(const RunResult& result, const ReportOptions& options);
nlohmann::ordered_json ReportJson(const RunResult& result, const ReportOptions& options);

// "12.345 s" for 12345 ms.
std::string Seconds(sim::Millis millis);

}  // namespace tw::tarnwell_sim
