#include "tools/tarnwell_sim/tool.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "tools/tarnwell_sim/report.h"
#include "tools/tarnwell_sim/run.h"
#include "tools/tarnwell_sim/scenario.h"

namespace tw::tarnwell_sim {

int RunTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "tarnwell-sim: runs the Tarnwell engraver setup on a simulated Windows machine and shows "
        "what happens, in virtual time.\nWith no scenario file it runs the built-in default "
        "scenario.",
        "tarnwell-sim"};
    std::string scenarioFile;
    bool json = false;
    bool withCalls = false;
    std::optional<std::uint64_t> seed;
    bool faults = false;
    std::optional<double> faultRate;
    app.add_option("scenario", scenarioFile, "Scenario file (JSON) to run");
    app.add_flag("--json", json, "Write the timeline and summary as JSON");
    app.add_flag("--calls", withCalls, "Show every system call in the timeline too");
    app.add_option("--seed", seed, "Seed of the machine's random source (replaces the scenario's)");
    app.add_flag("--faults", faults,
                 "Run with seeded random faults (the scenario's \"randomFaults\", else 2 % of "
                 "the usual calls); the expected outcome is then not checked");
    app.add_option("--fault-rate", faultRate, "Share of calls that fail under --faults (0 to 1)")
        ->check(CLI::Range(0.0, 1.0));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int code = app.exit(error, out, err);
        return code == 0 ? kExitAsExpected : kExitInvalid;
    }

    RunOptions options;
    options.seed = seed;
    options.randomFaults = faults || faultRate.has_value();
    options.faultRate = faultRate;
    RunResult result;
    try {
        Scenario scenario = scenarioFile.empty()
                                ? ParseScenario(DefaultScenarioText(), "built-in default scenario")
                                : LoadScenario(scenarioFile);
        result = RunScenario(scenario, options);
    } catch (const ScenarioError& error) {
        err << "tarnwell-sim: invalid scenario: " << error.what() << "\n";
        return kExitInvalid;
    }

    ReportOptions report;
    report.withCalls = withCalls;
    if (json) {
        out << ReportJson(result, report).dump(2) << "\n";
    } else {
        out << FormatReport(result, report);
    }
    if (result.stuck) {
        return kExitStuck;
    }
    return result.unmet.empty() ? kExitAsExpected : kExitUnmet;
}

}  // namespace tw::tarnwell_sim
