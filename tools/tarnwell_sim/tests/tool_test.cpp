#include "tools/tarnwell_sim/tool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace tw::tarnwell_sim {
namespace {

namespace fs = std::filesystem;

// Runs tarnwell-sim with its arguments, scenario files written to a folder of
// the test's own.
class ToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tarnwell_sim_test_" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& name, const std::string& text) {
        fs::path path = folder_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "tarnwell-sim");
        std::vector<const char*> argv;
        argv.reserve(arguments.size());
        for (const std::string& argument : arguments) {
            argv.push_back(argument.c_str());
        }
        std::ostringstream out;
        std::ostringstream err;
        int code = RunTool(static_cast<int>(argv.size()), argv.data(), out, err);
        out_ = out.str();
        err_ = err.str();
        return code;
    }

    fs::path folder_;
    std::string out_;
    std::string err_;
};

constexpr const char* kInstallRuns = R"({
    "name": "install runs",
    "package": {"root": "C:\\Pkg"},
    "programs": [{"path": "C:\\Pkg\\Systems\\Install.exe", "runTime": 1500, "recordsCalls": true}],
    "run": {"arguments": "silent"},
    "expect": {"exitCode": 0, "started": ["\"C:\\Pkg\\Systems\\Install.exe\" silent"],
               "filesPresent": ["C:\\Pkg\\Systems\\Install_calls.txt"], "duration": 1500}
})";

TEST_F(ToolTest, DefaultScenarioRunsAndShowsItsTimeline) {
    EXPECT_EQ(run({}), kExitAsExpected) << err_;
    EXPECT_NE(out_.find("Timeline (virtual time since the start)"), std::string::npos) << out_;
    EXPECT_NE(out_.find("process 1000 started"), std::string::npos) << out_;
    EXPECT_NE(out_.find("Outcome: as expected"), std::string::npos) << out_;
}

TEST_F(ToolTest, ScenarioFileRunsWithItsChangesInTheSummary) {
    EXPECT_EQ(run({write("ok.json", kInstallRuns)}), kExitAsExpected) << out_ << err_;
    // The recording program left its record: a change to the machine.
    EXPECT_NE(out_.find("+ file C:\\Pkg\\Systems\\Install_calls.txt"), std::string::npos) << out_;
    EXPECT_NE(out_.find("     1.500 s  effect  process 1000 ended"), std::string::npos) << out_;
}

TEST_F(ToolTest, BrokenScenarioGivesFilePlaceAndExitCode2AndRunsNothing) {
    std::string file = write("broken.json", R"({"programs": [{"path": 5}]})");
    EXPECT_EQ(run({file}), kExitInvalid);
    EXPECT_EQ(out_, "");
    EXPECT_EQ(err_, "tarnwell-sim: invalid scenario: " + file +
                        ": /programs/0/path: expected a full Windows path such as "
                        "\"C:\\\\Folder\\\\file.txt\", found 5\n");
}

TEST_F(ToolTest, MissingFileAndBadArgumentsGiveExitCode2) {
    EXPECT_EQ(run({(folder_ / "none.json").string()}), kExitInvalid);
    EXPECT_NE(err_.find("none.json"), std::string::npos) << err_;
    EXPECT_EQ(run({"--no-such-option"}), kExitInvalid);
    EXPECT_EQ(run({"--fault-rate", "2"}), kExitInvalid);
    EXPECT_EQ(run({"--seed", "x"}), kExitInvalid);
    EXPECT_EQ(run({"--help"}), kExitAsExpected);
    EXPECT_NE(out_.find("--faults"), std::string::npos);
}

TEST_F(ToolTest, UnmetExpectationGivesExitCode1AndSaysWhat) {
    std::string file = write("unmet.json", R"({
        "package": {"root": "C:\\Pkg"},
        "user": {"nextAt": null, "clicks": [{"at": 500, "control": "cancel"}]},
        "run": {},
        "expect": {"messageBoxes": ["Hello"], "timeline": ["never shown"],
                   "filesAbsent": ["C:\\Pkg\\kelvra.inf"]}
    })");
    EXPECT_EQ(run({file}), kExitUnmet);
    EXPECT_NE(out_.find("message box 1: expected \"Hello\", got \"(none)\""), std::string::npos)
        << out_;
    EXPECT_NE(out_.find("timeline line not found (in order): \"never shown\""), std::string::npos);
    EXPECT_NE(out_.find("file expected gone but present: C:\\Pkg\\kelvra.inf"), std::string::npos);
}

TEST_F(ToolTest, PlannedFaultThatNeverFiredIsUnmet) {
    std::string file = write("unfired.json", R"({
        "package": {"root": "C:\\Pkg"},
        "user": {"nextAt": null, "clicks": [{"at": 500, "control": "cancel"}]},
        "faults": [{"function": "DeleteFileW", "error": 5}],
        "expect": {}
    })");
    EXPECT_EQ(run({file}), kExitUnmet);
    EXPECT_NE(out_.find("planned fault never fired: DeleteFileW"), std::string::npos) << out_;
}

TEST_F(ToolTest, WaitThatCannotEndGivesExitCode3) {
    std::string file = write("stuck.json", R"({
        "package": {"root": "C:\\Pkg"},
        "programs": [{"path": "C:\\Pkg\\Systems\\Install.exe", "endless": true}]
    })");
    EXPECT_EQ(run({file}), kExitStuck);
    EXPECT_NE(out_.find("STUCK"), std::string::npos) << out_;
}

TEST_F(ToolTest, JsonHoldsTimelineSummaryAndOutcome) {
    EXPECT_EQ(run({"--json", write("ok.json", kInstallRuns)}), kExitAsExpected) << err_;
    nlohmann::json report = nlohmann::json::parse(out_);
    EXPECT_EQ(report["outcome"], "as expected");
    EXPECT_EQ(report["scenario"]["name"], "install runs");
    EXPECT_EQ(report["summary"]["duration"], 1500);
    ASSERT_EQ(report["summary"]["processes"].size(), 1u);
    EXPECT_EQ(report["summary"]["processes"][0]["commandLine"],
              "\"C:\\Pkg\\Systems\\Install.exe\" silent");
    EXPECT_EQ(report["summary"]["processes"][0]["endedAt"], 1500);
    ASSERT_FALSE(report["timeline"].empty());
    EXPECT_EQ(report["timeline"][0]["kind"], "effect");
    // System calls only with --calls.
    for (const auto& entry : report["timeline"]) {
        EXPECT_NE(entry["kind"], "call");
    }
    EXPECT_EQ(run({"--json", "--calls", write("ok.json", kInstallRuns)}), kExitAsExpected);
    EXPECT_EQ(nlohmann::json::parse(out_)["timeline"][0]["kind"], "call");
}

// With every CreateProcessW failing at random (the scenario's choice of
// functions), setup reports the drawn code; the same seed draws the same
// faults, and the expected outcome is not checked.
TEST_F(ToolTest, RandomFaultsFollowTheSeed) {
    std::string file = write("random.json", R"({
        "package": {"root": "C:\\Pkg"},
        "user": {"nextAt": null, "clicks": [{"at": 500, "control": "cancel"}]},
        "randomFaults": {"functions": {"CreateProcessW": [2, 5, 1455]}},
        "expect": {"messageBoxes": []}
    })");
    EXPECT_EQ(run({"--json", "--fault-rate", "1", "--seed", "42", file}), kExitAsExpected) << err_;
    nlohmann::json first = nlohmann::json::parse(out_);
    EXPECT_EQ(first["seed"], 42);
    EXPECT_EQ(first["outcome"], "unchecked");
    ASSERT_EQ(first["summary"]["randomFaultsFired"].size(), 1u) << out_;
    EXPECT_EQ(first["summary"]["randomFaultsFired"][0]["function"], "CreateProcessW");
    ASSERT_EQ(first["summary"]["messageBoxes"].size(), 1u);
    std::string code = std::to_string(first["summary"]["randomFaultsFired"][0]["error"].get<int>());
    EXPECT_EQ(first["summary"]["messageBoxes"][0]["text"], "Setup process error = " + code);

    EXPECT_EQ(run({"--json", "--fault-rate", "1", "--seed", "42", file}), kExitAsExpected);
    EXPECT_EQ(nlohmann::json::parse(out_), first);

    // No fault at rate 0: the run is the ordinary one.
    EXPECT_EQ(run({"--json", "--fault-rate", "0", file}), kExitAsExpected);
    EXPECT_TRUE(nlohmann::json::parse(out_)["summary"]["randomFaultsFired"].empty());
}

// The maker's files from a folder of the host, laid out like the package; a
// "systems" folder in other letter case is the package's Systems folder.
TEST_F(ToolTest, PackageFromAHostFolder) {
    write("maker/kelvra.inf", "[Version]\r\n");
    write("maker/systems/Config.exe", "MZ");
    std::string file = write("host.json", R"({
        "user": {"nextAt": null, "clicks": [{"at": 500, "control": "cancel"}]},
        "package": {"root": "C:\\Pkg", "vendorFiles": "maker"},
        "expect": {"filesPresent": ["C:\\Pkg\\kelvra.inf", "C:\\Pkg\\Systems\\Config.exe",
                                    "C:\\Pkg\\setup.exe", "C:\\Pkg\\Systems\\Install.exe"],
                   "filesAbsent": ["C:\\Pkg\\firmware_table_2.dos"]}
    })");
    EXPECT_EQ(run({file}), kExitAsExpected) << out_ << err_;
}

// The USB engraver's events land in the timeline at their times; what it
// received is summed up and checked against the expectation.
TEST_F(ToolTest, EngraverEventsAndWhatItReceived) {
    std::string file = write("usb.json", R"({
        "package": {"root": "C:\\Pkg"},
        "programs": [{"path": "C:\\Pkg\\Systems\\Install.exe", "runTime": 10000}],
        "usb": [{"makerTag": true, "status": 5,
                 "events": [{"at": 2000, "action": "switchOff"}, {"at": 7000, "action": "switchOn"}]}],
        "expect": {"timeline": [{"text": "USB: switch off", "at": 2000},
                                {"text": "USB: switch on", "at": 7000}],
                   "engraver": {"receivedFile": "C:\\Pkg\\firmware_table_2.dos",
                                "statusQueries": 1}}
    })");
    EXPECT_EQ(run({file}), kExitUnmet) << err_;
    EXPECT_NE(out_.find("received 0 bytes in 0 writes, 0 status queries"), std::string::npos)
        << out_;
    EXPECT_NE(out_.find("the engraver received 0 bytes, not the 5000 bytes of "
                        "C:\\Pkg\\firmware_table_2.dos"),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find("the engraver got 0 status queries, expected 1"), std::string::npos);
    // The timeline lines were found: only the engraver's two lines are unmet.
    EXPECT_EQ(out_.find("timeline line not found"), std::string::npos) << out_;
}

// An earlier installation as a scenario sets it up: the package INFs in the
// INF folder (the sample's text as UTF-16, one 8-bit INF without its .pnf),
// a queue of the model and the model itself.
TEST_F(ToolTest, EarlierInstallationIsOnTheMachine) {
    std::string file = write("earlier.json", R"({
        "package": {"root": "C:\\Pkg"},
        "infFolder": [{"name": "oem3.inf", "sample": true},
                      {"name": "oem7.inf", "text": "[Version]\r\n", "encoding": "ansi",
                       "precompiled": false}],
        "user": {"nextAt": null, "clicks": [{"at": 500, "control": "cancel"}]},
        "spooler": {"queues": [{"name": "Tarn-Well", "driver": "Tarn-Well", "jobs": 1}],
                    "drivers": ["Tarn-Well"]},
        "expect": {"filesPresent": ["C:\\Windows\\inf\\oem3.inf", "C:\\Windows\\inf\\oem3.pnf",
                                    "C:\\Windows\\inf\\oem7.inf"],
                   "filesAbsent": ["C:\\Windows\\inf\\oem7.pnf"]}
    })");
    EXPECT_EQ(run({file}), kExitAsExpected) << out_ << err_;
}

// The wizard runs as real code when setup starts it. A wizard that waits for
// an engraver that never comes keeps its timer ticking: the run stops at the
// scenario's time limit as stuck, with what it was waiting for.
TEST_F(ToolTest, WizardWaitingForEverStopsAtTheTimeLimit) {
    std::string file = write("no_engraver.json", R"({
        "machine": {"timeLimit": 120000},
        "package": {"root": "C:\\Pkg"}
    })");
    EXPECT_EQ(run({file}), kExitStuck) << out_ << err_;
    EXPECT_NE(out_.find("label 1012 shows \">   Connect the machine to the port, switch it on\""),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find("when the run's time was up"), std::string::npos) << out_;
}

// --frames: a picture of the dialog at each moment something visible changed,
// with greyed controls marked; in the JSON too.
TEST_F(ToolTest, FramesShowTheDialogAtEachVisibleChange) {
    std::string file = write("frames.json", R"({
        "package": {"root": "C:\\Pkg"},
        "user": {"port": "other", "portAt": 500, "nextAt": null,
                 "clicks": [{"at": 900, "control": "cancel"}]}
    })");
    EXPECT_EQ(run({"--frames", file}), kExitAsExpected) << out_ << err_;
    // Opened, then Other chosen: two pictures; Cancel hides the dialog.
    EXPECT_NE(out_.find("the wizard at 0.000 s:"), std::string::npos) << out_;
    EXPECT_NE(out_.find("(*) USB"), std::string::npos);
    EXPECT_NE(out_.find("the wizard at 0.500 s:"), std::string::npos);
    EXPECT_NE(out_.find("( ) USB"), std::string::npos) << out_;
    EXPECT_NE(out_.find("(*) Other"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("the wizard at 0.900 s:"), std::string::npos);

    EXPECT_EQ(run({"--frames", "--json", file}), kExitAsExpected);
    nlohmann::json frames = nlohmann::json::parse(out_)["frames"];
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1]["at"], 500);
    EXPECT_EQ(frames[0]["picture"][0].get<std::string>().rfind("+= Tarnwell Setup 1.10 =", 0), 0u);

    // The greyed mark: after Next the radio buttons are disabled.
    std::string greyed = write("greyed.json", R"({
        "package": {"root": "C:\\Pkg"},
        "user": {"clicks": [{"at": 1500, "control": "cancel"}]}
    })");
    EXPECT_EQ(run({"--frames", greyed}), kExitAsExpected) << out_;
    EXPECT_NE(out_.find("~(*) USB"), std::string::npos) << out_;
    EXPECT_NE(out_.find("~[ Next ]"), std::string::npos) << out_;
}

// Every scenario of scenarios/ loads (the scenario tests run them).
TEST_F(ToolTest, ScenarioFolderHoldsValidScenarios) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(TW_SCENARIO_FOLDER)) {
        if (entry.path().extension() == ".json") {
            EXPECT_NE(run({"--json", entry.path().string()}), kExitInvalid) << err_;
            ++count;
        }
    }
    EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace tw::tarnwell_sim
