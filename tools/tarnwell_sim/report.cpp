#include "tools/tarnwell_sim/report.h"

#include <cstdio>
#include <optional>

#include "platform/text_format.h"

namespace tw::tarnwell_sim {
namespace {

const char* ChangeMark(Change::Kind kind) {
    switch (kind) {
        case Change::Kind::Created:
            return "+";
        case Change::Kind::Deleted:
            return "-";
        case Change::Kind::Changed:
            return "~";
    }
    return "?";
}

const char* ChangeName(Change::Kind kind) {
    switch (kind) {
        case Change::Kind::Created:
            return "created";
        case Change::Kind::Deleted:
            return "deleted";
        case Change::Kind::Changed:
            return "changed";
    }
    return "?";
}

std::string Outcome(const RunResult& result) {
    if (result.stuck) {
        return "stuck";
    }
    if (!result.expectationsChecked) {
        return "unchecked";
    }
    return result.unmet.empty() ? "as expected" : "not as expected";
}

std::string PlannedFault(const PlannedFaultRecord& fault) {
    return fault.function +
           (fault.argumentContains.empty() ? "" : " on \"" + fault.argumentContains + "\"") +
           ", error " + std::to_string(fault.error);
}

}  // namespace

std::string Seconds(sim::Millis millis) {
    char text[40];
    std::snprintf(text, sizeof text, "%llu.%03llu s",
                  static_cast<unsigned long long>(millis / 1000),
                  static_cast<unsigned long long>(millis % 1000));
    return text;
}

std::string FormatReport(const RunResult& result, const ReportOptions& options) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += '\n';
    };

    line("tarnwell-sim: " + (result.name.empty() ? std::string("scenario") : result.name) + " (" +
         result.file + ")");
    if (!result.description.empty()) {
        line(result.description);
    }
    line("Virtual clock at the start: " + std::to_string(result.clockStart) + " ms; seed " +
         std::to_string(result.seed) + (result.randomFaults ? "; random faults on" : ""));
    line("");
    line("Timeline (virtual time since the start)");
    // Each picture of the dialog follows the lines of its moment.
    std::size_t nextFrame = 0;
    auto framesBefore = [&](std::optional<sim::Millis> until) {
        for (; nextFrame < result.frames.size() && (!until || result.frames[nextFrame].at < *until);
             ++nextFrame) {
            const Frame& frame = result.frames[nextFrame];
            line("");
            line("    the wizard at " + Seconds(frame.at) + ":");
            for (const std::string& row : frame.picture) {
                line("    " + row);
            }
            line("");
        }
    };
    for (const sim::TraceEntry& entry : result.trace) {
        if (!options.withCalls && entry.kind == sim::TraceKind::Call) {
            continue;
        }
        framesBefore(entry.at);
        char stamp[64];
        std::snprintf(stamp, sizeof stamp, "%12s  %-6s  ", Seconds(entry.at).c_str(),
                      sim::TraceKindName(entry.kind));
        line(stamp + entry.text);
    }
    framesBefore(std::nullopt);
    if (result.stuck) {
        line("             STUCK   " + *result.stuck);
    }

    line("");
    line("Summary after " + Seconds(result.duration) + " of virtual time");
    line("  exit code " + std::to_string(result.exitCode));
    line("  processes started: " + std::to_string(result.processes.size()));
    for (const ProcessRecord& process : result.processes) {
        line("    " + std::to_string(process.id) + "  " + process.commandLine);
        line("          from " + Seconds(process.startedAt) +
             (process.endedAt ? " to " + Seconds(*process.endedAt) + ", exit code " +
                                    std::to_string(process.exitCode)
                              : ", still running"));
    }
    line("  message boxes: " + std::to_string(result.messageBoxes.size()));
    for (const MessageBoxRecord& box : result.messageBoxes) {
        line("    at " + Seconds(box.at) + "  [" + box.caption + "] \"" + box.text + "\"");
    }
    line("  changes to the machine: " + std::to_string(result.changes.size()));
    for (const Change& change : result.changes) {
        line(std::string("    ") + ChangeMark(change.kind) + " " + change.what);
    }
    for (const EngraverRecord& engraver : result.engravers) {
        line("  engraver " + engraver.path);
        line("    received " + std::to_string(engraver.receivedBytes) + " bytes in " +
             std::to_string(engraver.writes.size()) + " writes, " +
             std::to_string(engraver.statusQueries) + " status queries");
    }
    if (!result.plannedFaults.empty()) {
        line("  planned faults:");
        for (const PlannedFaultRecord& fault : result.plannedFaults) {
            line("    " + PlannedFault(fault) + ": fired " + std::to_string(fault.fired) +
                 (fault.fired == 1 ? " time" : " times"));
        }
    }
    if (result.randomFaults) {
        line("  random faults fired: " + std::to_string(result.randomFaultsFired.size()));
        for (const sim::RandomFault& fault : result.randomFaultsFired) {
            line("    " + fault.function + " \"" + platform::ToUtf8(fault.argument) + "\": error " +
                 std::to_string(fault.error));
        }
    }

    line("");
    if (result.stuck) {
        line("Outcome: the run did not end (" + *result.stuck + ")");
    } else if (result.randomFaults) {
        line("Outcome: ran to its end; the expected outcome is not checked under random faults");
    } else if (!result.expectationsChecked) {
        line("Outcome: ran to its end; the scenario states no expected outcome");
    } else if (result.unmet.empty()) {
        line("Outcome: as expected");
    } else {
        line("Outcome: NOT as expected");
        for (const std::string& unmet : result.unmet) {
            line("  - " + unmet);
        }
    }
    return out;
}

nlohmann::ordered_json ReportJson(const RunResult& result, const ReportOptions& options) {
    using json = nlohmann::ordered_json;
    json timeline = json::array();
    for (const sim::TraceEntry& entry : result.trace) {
        if (!options.withCalls && entry.kind == sim::TraceKind::Call) {
            continue;
        }
        timeline.push_back(
            {{"at", entry.at}, {"kind", sim::TraceKindName(entry.kind)}, {"text", entry.text}});
    }
    json processes = json::array();
    for (const ProcessRecord& process : result.processes) {
        json record = {{"id", process.id},
                       {"commandLine", process.commandLine},
                       {"startedAt", process.startedAt}};
        if (process.endedAt) {
            record["endedAt"] = *process.endedAt;
            record["exitCode"] = process.exitCode;
        }
        processes.push_back(record);
    }
    json boxes = json::array();
    for (const MessageBoxRecord& box : result.messageBoxes) {
        boxes.push_back({{"at", box.at}, {"caption", box.caption}, {"text", box.text}});
    }
    json changes = json::array();
    for (const Change& change : result.changes) {
        changes.push_back({{"change", ChangeName(change.kind)}, {"what", change.what}});
    }
    json planned = json::array();
    for (const PlannedFaultRecord& fault : result.plannedFaults) {
        planned.push_back({{"function", fault.function},
                           {"argumentContains", fault.argumentContains},
                           {"error", fault.error},
                           {"fired", fault.fired}});
    }
    json random = json::array();
    for (const sim::RandomFault& fault : result.randomFaultsFired) {
        random.push_back({{"function", fault.function},
                          {"argument", platform::ToUtf8(fault.argument)},
                          {"error", fault.error}});
    }
    json engravers = json::array();
    for (const EngraverRecord& engraver : result.engravers) {
        engravers.push_back({{"path", engraver.path},
                             {"writes", engraver.writes},
                             {"receivedBytes", engraver.receivedBytes},
                             {"statusQueries", engraver.statusQueries}});
    }
    json report = {
        {"scenario",
         {{"file", result.file}, {"name", result.name}, {"description", result.description}}},
        {"clockStart", result.clockStart},
        {"seed", result.seed},
        {"randomFaults", result.randomFaults},
        {"timeline", timeline},
        {"summary",
         {{"duration", result.duration},
          {"exitCode", result.exitCode},
          {"processes", processes},
          {"messageBoxes", boxes},
          {"changes", changes},
          {"engravers", engravers},
          {"plannedFaults", planned},
          {"randomFaultsFired", random}}},
        {"outcome", Outcome(result)},
        {"unmet", result.unmet},
    };
    if (!result.frames.empty()) {
        json frames = json::array();
        for (const Frame& frame : result.frames) {
            frames.push_back({{"at", frame.at}, {"picture", frame.picture}});
        }
        report["frames"] = frames;
    }
    if (result.stuck) {
        report["stuck"] = *result.stuck;
    }
    return report;
}

}  // namespace tw::tarnwell_sim
