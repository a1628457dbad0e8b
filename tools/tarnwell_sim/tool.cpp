#include "tools/tarnwell_sim/tool.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <optional>
#include <string>

#include "tools/tarnwell_sim/report.h"
#include "tools/tarnwell_sim/run.h"
#include "tools/tarnwell_sim/scenario.h"

namespace tw::tarnwell_sim {
namespace {

// Shows how far a long run has come: from one second of real time on, at most
// twice a second, on one line that the report then replaces.
class ProgressLine {
  public:
    explicit ProgressLine(std::ostream& err) : err_(err) {}
    ~ProgressLine() {
        if (shown_) {
            err_ << "\r\033[K" << std::flush;
        }
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void operator()(sim::Millis virtualTime) {
        // Reading the real clock after every event would cost more than most
        // events do.
        if (++events_ % 1024 != 0) {
            return;
        }
        auto now = std::chrono::steady_clock::now();
        if (now - started_ < std::chrono::seconds(1) ||
            now - lastShown_ < std::chrono::milliseconds(500)) {
            return;
        }
        lastShown_ = now;
        shown_ = true;
        err_ << "\rtarnwell-sim: " << Seconds(virtualTime) << " of virtual time, " << events_
             << " events" << std::flush;
    }

  private:
    std::ostream& err_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastShown_;
    std::uint64_t events_ = 0;
    bool shown_ = false;
};

}  // namespace

int RunTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
            bool showProgress) {
    CLI::App app{
        "tarnwell-sim: runs the Tarnwell engraver setup on a simulated Windows machine and shows "
        "what happens, in virtual time.\nWith no scenario file it runs the built-in default "
        "scenario.",
        "tarnwell-sim"};
    std::string scenarioFile;
    bool json = false;
    bool withCalls = false;
    bool frames = false;
    std::optional<std::uint64_t> seed;
    bool faults = false;
    std::optional<double> faultRate;
    app.add_option("scenario", scenarioFile, "Scenario file (JSON) to run");
    app.add_flag("--json", json, "Write the timeline and summary as JSON");
    app.add_flag("--calls", withCalls, "Show every system call in the timeline too");
    app.add_flag("--frames", frames,
                 "Show a picture of the wizard's dialog as text at each visible change");
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
    options.frames = frames;
    options.randomFaults = faults || faultRate.has_value();
    options.faultRate = faultRate;
    std::optional<ProgressLine> progress;
    if (showProgress) {
        progress.emplace(err);
        options.progress = [&progress](sim::Millis virtualTime) { (*progress)(virtualTime); };
    }
    RunResult result;
    try {
        Scenario scenario = scenarioFile.empty()
                                ? ParseScenario(DefaultScenarioText(), "built-in default scenario")
                                : LoadScenario(scenarioFile);
        result = RunScenario(scenario, options);
    } catch (const ScenarioError& error) {
        progress.reset();
        err << "tarnwell-sim: invalid scenario: " << error.what() << "\n";
        return kExitInvalid;
    }

    progress.reset();
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
