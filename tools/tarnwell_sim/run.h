// Runs a scenario on a simulated machine and collects what happened: the
// trace in virtual time, the machine's changes, the processes, message boxes
// and faults, and whether the scenario's expected outcome was met.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/trace.h"
#include "tools/tarnwell_sim/scenario.h"

namespace tw::tarnwell_sim {

struct RunOptions {
    std::optional<std::uint64_t> seed;  // --seed: replaces the scenario's
    // --faults: random faults, at the scenario's rate (its "randomFaults"
    // section, else 2 %) or at `faultRate`.
    bool randomFaults = false;
    std::optional<double> faultRate;
    // Pictures of the wizard's dialog at each visible change (--frames).
    bool frames = false;
    // Called as virtual time passes, with the time since the start.
    std::function<void(sim::Millis)> progress;
};

// A change to the machine between the start and the end of the run.
struct Change {
    enum class Kind { Created, Deleted, Changed };
    Kind kind = Kind::Created;
    std::string what;  // "file C:\...", "folder C:\...", "registry key HKLM\...", ...
};

struct ProcessRecord {
    std::uint32_t id = 0;
    std::string commandLine;
    sim::Millis startedAt = 0;           // since the start of the run
    std::optional<sim::Millis> endedAt;  // nothing: still running at the end
    std::uint32_t exitCode = 0;
};

struct MessageBoxRecord {
    sim::Millis at = 0;
    std::string caption;
    std::string text;
};

struct PlannedFaultRecord {
    std::string function;
    std::string argumentContains;
    std::uint32_t error = 0;
    std::uint32_t fired = 0;
};

// What an engraver on USB received during the run.
struct EngraverRecord {
    std::string path;                   // its interface path
    std::vector<std::uint32_t> writes;  // sizes offered, write by write
    std::uint64_t receivedBytes = 0;    // bytes taken that were not status queries
    std::uint32_t statusQueries = 0;
};

// The wizard's dialog as the user saw it from `at` on (ms since the start):
// the last state of each moment in which something visible changed.
struct Frame {
    sim::Millis at = 0;
    std::vector<std::string> picture;
};

struct RunResult {
    std::string file;
    std::string name;
    std::string description;
    std::uint64_t seed = 0;
    bool randomFaults = false;
    sim::Millis clockStart = 0;  // the virtual clock at the start, in ms
    sim::Millis duration = 0;
    int exitCode = 0;                    // the exit code of the program run
    std::optional<std::string> stuck;    // why the run could not go on
    std::vector<sim::TraceEntry> trace;  // times since the start of the run
    std::vector<Change> changes;
    std::vector<ProcessRecord> processes;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<PlannedFaultRecord> plannedFaults;
    std::vector<sim::RandomFault> randomFaultsFired;
    std::vector<EngraverRecord> engravers;
    std::vector<Frame> frames;  // with RunOptions::frames
    // The expected outcome: checked unless random faults were on or the
    // scenario states none.
    bool expectationsChecked = false;
    std::vector<std::string> unmet;
};

// Runs the scenario. Throws ScenarioError when the machine cannot be built.
RunResult RunScenario(const Scenario& scenario, const RunOptions& options);

}  // namespace tw::tarnwell_sim
