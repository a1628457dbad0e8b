#include <gtest/gtest.h>

#include <string>

#include "tools/tarnwell_sim/scenario.h"

namespace tw::tarnwell_sim {
namespace {

// A scenario file that must be refused, where, and why.
struct BrokenCase {
    const char* name;
    const char* text;
    const char* place;     // where the error points
    const char* expected;  // a part of what the error says was expected
};

void PrintTo(const BrokenCase& c, std::ostream* out) {
    *out << c.name;
}

class BrokenScenario : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenScenario, IsRefusedWithThePlaceAndWhatWasExpected) {
    const BrokenCase& c = GetParam();
    try {
        ParseScenario(c.text, "broken.json");
        FAIL() << "the scenario was accepted";
    } catch (const ScenarioError& error) {
        EXPECT_EQ(error.file(), "broken.json");
        EXPECT_EQ(error.place(), c.place);
        EXPECT_NE(error.expected().find(c.expected), std::string::npos) << error.expected();
        EXPECT_EQ(std::string(error.what()).rfind("broken.json: " + std::string(c.place), 0), 0u)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Loader, BrokenScenario,
    ::testing::Values(
        BrokenCase{"NotJson", "{\n  \"name\": \"x\",\n  oops\n}", "line 3, column 3", "valid JSON"},
        BrokenCase{"UnclosedObject", "{\"name\": \"x\"", "line 1, column 12", "valid JSON"},
        BrokenCase{"NotAnObject", "[1, 2]", "/", "a scenario (a JSON object)"},
        BrokenCase{"UnknownSection", R"({"filse": []})", "/filse",
                   "there is no \"filse\", the sections are: name, description, machine"},
        BrokenCase{"UnknownKeyInSection", R"({"machine": {"clock": 5}})", "/machine/clock",
                   "expected one of: clockStart, windows64, seed"},
        BrokenCase{"TextForNumber", R"({"machine": {"clockStart": "60000"}})",
                   "/machine/clockStart", "a whole number from 0 to"},
        BrokenCase{"NegativeNumber", R"({"faults": [{"function": "DeleteFileW", "error": -5}]})",
                   "/faults/0/error", "found -5"},
        BrokenCase{"NumberTooBig",
                   R"({"faults": [{"function": "DeleteFileW", "error": 4294967296}]})",
                   "/faults/0/error", "0 to 4294967295"},
        BrokenCase{"FractionForWholeNumber",
                   R"({"programs": [{"path": "C:\\a.exe", "runTime": 1.5}]})",
                   "/programs/0/runTime", "how long it runs"},
        BrokenCase{"ZerothCall",
                   R"({"faults": [{"function": "DeleteFileW", "error": 5, "nthCall": 0}]})",
                   "/faults/0/nthCall", "from 1 to"},
        BrokenCase{"MissingRequiredKey", R"({"faults": [{"function": "DeleteFileW"}]})",
                   "/faults/0", "the key \"error\""},
        BrokenCase{"RelativePath", R"({"files": [{"path": "temp\\a.txt"}]})", "/files/0/path",
                   "a full Windows path"},
        BrokenCase{"ListExpected", R"({"files": {"path": "C:\\a.txt"}})", "/files",
                   "a list of files and folders, found an object"},
        BrokenCase{"TwoContents", R"({"files": [{"path": "C:\\a", "text": "x", "size": 3}]})",
                   "/files/0", "at most one of"},
        BrokenCase{"FolderWithContent",
                   R"({"files": [{"path": "C:\\a", "folder": true, "text": "x"}]})", "/files/0",
                   "a folder without content"},
        BrokenCase{"UnknownAttribute",
                   R"({"files": [{"path": "C:\\a", "attributes": ["readonly", "secret"]}]})",
                   "/files/0/attributes/1", "one of readonly, hidden"},
        BrokenCase{"HostFileMissing", R"({"files": [{"path": "C:\\a", "from": "no/such/file"}]})",
                   "/files/0/from", "a file of this computer that can be read"},
        BrokenCase{"VendorFolderMissing",
                   R"({"package": {"root": "C:\\p", "vendorFiles": "no/such/folder"}})",
                   "/package/vendorFiles", "is none"},
        BrokenCase{"PackageWithoutRoot", R"({"package": {"vendorFiles": "sample"}})", "/package",
                   "the key \"root\""},
        BrokenCase{"PackageLacksAbsolutePath",
                   R"({"package": {"root": "C:\\p", "lacks": ["C:\\p\\setup.exe"]}})",
                   "/package/lacks/0", "relative to the package root"},
        BrokenCase{"EndlessWithRunTime",
                   R"({"programs": [{"path": "C:\\a.exe", "endless": true, "runTime": 5}]})",
                   "/programs/0", "either \"runTime\" or \"endless\""},
        BrokenCase{"RegistryKeyWithoutRoot", R"({"registry": [{"key": "SOFTWARE\\x"}]})",
                   "/registry/0/key", "starting with HKLM\\ or HKCU\\"},
        BrokenCase{"RegistryValueOfList",
                   R"({"registry": [{"key": "HKLM\\x", "values": {"v": [1]}}]})",
                   "/registry/0/values/v", "a text (REG_SZ) or a whole number (REG_DWORD)"},
        BrokenCase{"BoolAsText", R"({"machine": {"windows64": "yes"}})", "/machine/windows64",
                   "true or false, found the text \"yes\""},
        BrokenCase{"HardwareForEngraver", R"({"usb": [{"hardware": "vid_04f9&pid_0042"}]})",
                   "/usb/0", "no \"hardware\" for the engraver"},
        BrokenCase{"StatusForOtherPrinter",
                   R"({"usb": [{"engraver": false, "hardware": "vid_1&pid_2", "status": 1}]})",
                   "/usb/0", "no \"status\" for a printer that is not the engraver"},
        BrokenCase{"StatusAbove255", R"({"usb": [{"status": 256}]})", "/usb/0/status",
                   "from 0 to 255"},
        BrokenCase{"ReplyNotHex", R"({"usb": [{"replies": ["21 42 4"]}]})", "/usb/0/replies/0",
                   "bytes in hexadecimal"},
        BrokenCase{"UnknownUsbAction",
                   R"({"usb": [{"events": [{"at": 5, "action": "switchOf"}]}]})",
                   "/usb/0/events/0/action", "one of switchOff, switchOn, unplug, plugIn"},
        BrokenCase{"QueueWithoutName", R"({"spooler": {"queues": [{"driver": "Tarn-Well"}]}})",
                   "/spooler/queues/0", "the key \"name\""},
        BrokenCase{"JobsLeaveAsText",
                   R"({"spooler": {"queues": [{"name": "q", "jobsLeaveAfterPurge": "never"}]}})",
                   "/spooler/queues/0/jobsLeaveAfterPurge", "or null for never"},
        BrokenCase{"InfWithTextAndSample",
                   R"({"infFolder": [{"name": "oem3.inf", "text": "x", "sample": true}]})",
                   "/infFolder/0", "either \"text\""},
        BrokenCase{"InfEncoding",
                   R"({"infFolder": [{"name": "oem3.inf", "text": "x", "encoding": "utf8"}]})",
                   "/infFolder/0/encoding", "\"utf16\" or \"ansi\""},
        BrokenCase{"RestartAnswer", R"({"user": {"restartAnswer": "maybe"}})",
                   "/user/restartAnswer", "\"yes\" or \"no\""},
        BrokenCase{"TempPathWithoutBackslash", R"({"machine": {"tempPath": "C:\\Temp"}})",
                   "/machine/tempPath", "ending in a backslash"},
        BrokenCase{"NetAsTrue", R"({"systemPrograms": {"net": true}})", "/systemPrograms/net",
                   "false (missing) or an object"},
        BrokenCase{"PortsNotTexts", R"({"spooler": {"ports": ["LPT1:", 3]}})", "/spooler/ports/1",
                   "port names"},
        BrokenCase{"RateAboveOne", R"({"randomFaults": {"rate": 1.5}})", "/randomFaults/rate",
                   "a number from 0 to 1"},
        BrokenCase{"FunctionWithoutCodes",
                   R"({"randomFaults": {"functions": {"DeleteFileW": []}}})",
                   "/randomFaults/functions/DeleteFileW", "at least one error code"},
        BrokenCase{"OtherProgramToRun", R"({"run": {"program": "notepad"}})", "/run/program",
                   "the program started (setup, install)"},
        BrokenCase{"WideArguments", R"({"run": {"path": "C:\\s.exe", "arguments": "\u0100"}})",
                   "/run/arguments", "8-bit characters"},
        BrokenCase{"NothingToRun", R"({"name": "no package, no path"})", "/run",
                   "\"path\" (the program to run)"},
        BrokenCase{"TimelineLineOfNumber", R"({"expect": {"timeline": [5]}})", "/expect/timeline/0",
                   "a timeline text"},
        BrokenCase{"ExitCodeTooBig", R"({"expect": {"exitCode": 300}})", "/expect/exitCode",
                   "0 to 255"},
        BrokenCase{"UnknownPortType", R"({"user": {"port": "serial"}})", "/user/port",
                   "the port type the user picks (usb, other), found the text \"serial\""},
        BrokenCase{"ClickOnUnknownControl", R"({"user": {"clicks": [{"at": 5, "control": "ok"}]}})",
                   "/user/clicks/0/control", "a control of the wizard (next, cancel, usb"},
        BrokenCase{"ReactionToUnknownText",
                   R"({"user": {"reactions": [{"when": "hello", "do": "switchOff"}]}})",
                   "/user/reactions/0/when", "a label text (switchOff, connect"},
        BrokenCase{"ReactionDoingNothingKnown",
                   R"({"user": {"reactions": [{"when": "connect", "do": "click ok"}]}})",
                   "/user/reactions/0/do", "\"click \" and a control"},
        BrokenCase{"NextAtIsText", R"({"user": {"nextAt": "soon"}})", "/user/nextAt",
                   "when the user first clicks Next"},
        BrokenCase{"LanguageZero", R"({"machine": {"language": 0}})", "/machine/language",
                   "1 to 65535"},
        BrokenCase{"TimeLimitZero", R"({"machine": {"timeLimit": 0}})", "/machine/timeLimit",
                   "1 to"}),
    [](const ::testing::TestParamInfo<BrokenCase>& param) {
        return std::string(param.param.name);
    });

// Mistakes that show only once the machine is built.
TEST(ScenarioMachine, RefusesAnUnknownModuleAndAMissingProgram) {
    struct Case {
        const char* text;
        const char* place;
    };
    for (
        const Case& c : {
            Case{
                R"({"package": {"root": "C:\\p"}, "modules": [{"module": "kernel33", "lacks": []}]})",
                "/modules/0/module"},
            Case{R"({"run": {"path": "C:\\nowhere\\setup.exe"}})", "/run/path"},
            Case{R"({"package": {"root": "C:\\p", "lacks": ["setup.exe"]}})", "/run"},
        }) {
        Scenario scenario = ParseScenario(c.text, "late.json");
        sim::SimMachine machine(scenario.machine);
        try {
            BuildMachine(scenario, machine);
            ADD_FAILURE() << c.text << " was accepted";
        } catch (const ScenarioError& error) {
            EXPECT_EQ(error.place(), c.place) << error.what();
        }
    }
}

TEST(ScenarioLoader, ReadsEverySectionWithItsValues) {
    Scenario scenario = ParseScenario(R"({
        // Comments are allowed.
        "name": "all", "description": "every section",
        "machine": {"clockStart": 4294960000, "windows64": false, "seed": 9},
        "files": [
            {"path": "C:\\t\\a.txt", "text": "hi", "attributes": ["readonly", "hidden"], "inUse": true},
            {"path": "C:\\t\\w.inf", "utf16": "A"},
            {"path": "C:\\t\\b.bin", "size": 3},
            {"path": "C:\\t\\empty", "folder": true}
        ],
        "package": {"root": "D:\\Pkg", "lacks": ["Systems\\Config.exe"]},
        "programs": [{"path": "C:\\x.exe", "endless": true, "exitCode": 4, "recordsCalls": true}],
        "registry": [{"key": "HKCU\\Software\\T", "values": {"s": "v", "d": 7}, "deleteDenied": true}],
        "modules": [{"module": "kernel32", "lacks": ["IsWow64Process"]}],
        "faults": [{"function": "DeleteFileW", "argumentContains": "kelvra", "nthCall": 2,
                    "error": 32, "persistent": true}],
        "randomFaults": {"rate": 0.5, "functions": {"WriteFile": [31]}},
        "run": {"arguments": "silent", "currentDirectory": "C:\\Users"},
        "expect": {"exitCode": 0, "messageBoxes": ["m"], "started": [], "filesPresent": ["C:\\a"],
                   "filesAbsent": ["C:\\b"], "timeline": ["x", {"text": "y", "at": 5}], "duration": 7}
    })",
                                      "all.json");
    EXPECT_EQ(scenario.name, "all");
    EXPECT_EQ(scenario.machine.startTime, 4294960000u);
    EXPECT_FALSE(scenario.machine.windows64);
    EXPECT_EQ(scenario.machine.seed, 9u);
    ASSERT_EQ(scenario.files.size(), 4u);
    EXPECT_EQ(scenario.files[0].bytes, (std::vector<std::uint8_t>{'h', 'i'}));
    EXPECT_EQ(scenario.files[0].attributes, 0x3u);
    EXPECT_TRUE(scenario.files[0].inUse);
    EXPECT_EQ(scenario.files[1].bytes, (std::vector<std::uint8_t>{0xFF, 0xFE, 'A', 0}));
    EXPECT_EQ(scenario.files[2].bytes, (std::vector<std::uint8_t>{0, 1, 2}));
    EXPECT_TRUE(scenario.files[3].folder);
    ASSERT_TRUE(scenario.package);
    EXPECT_TRUE(scenario.package->vendorFolder.empty());  // the built-in sample set
    EXPECT_EQ(scenario.run.path, u"D:\\Pkg\\setup.exe");  // the package's setup
    EXPECT_EQ(scenario.run.arguments, "silent");
    ASSERT_EQ(scenario.programs.size(), 1u);
    EXPECT_TRUE(scenario.programs[0].endless);
    EXPECT_TRUE(scenario.programs[0].recordsCalls);
    ASSERT_EQ(scenario.registry.size(), 1u);
    EXPECT_EQ(scenario.registry[0].root, sim::RegistryRoot::CurrentUser);
    EXPECT_EQ(scenario.registry[0].values.size(), 2u);
    ASSERT_EQ(scenario.faults.size(), 1u);
    EXPECT_EQ(scenario.faults[0].nthCall, 2u);
    EXPECT_TRUE(scenario.faults[0].persistent);
    ASSERT_TRUE(scenario.randomFaults);
    EXPECT_EQ(scenario.randomFaults->rate, 0.5);
    EXPECT_EQ(scenario.randomFaults->errors.size(), 1u);
    ASSERT_TRUE(scenario.expect);
    EXPECT_EQ(scenario.expect->timeline.size(), 2u);
    EXPECT_EQ(scenario.expect->timeline[1].at, 5u);
}

}  // namespace
}  // namespace tw::tarnwell_sim
