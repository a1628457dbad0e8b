#include "removal/driver_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "removal/reboot_fallback.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"
#include "sim/system_programs.h"

namespace tw::removal {
namespace {

using platform::ToUtf8;
using sim::FaultRule;
using sim::Millis;

constexpr std::u16string_view kSystem32 = u"C:\\Windows\\System32";
constexpr std::u16string_view kSysWow64 = u"C:\\Windows\\SysWOW64";
constexpr std::u16string_view kDriverFolder32 = u"C:\\Windows\\System32\\spool\\drivers\\W32X86\\3";
constexpr std::u16string_view kTemp = u"C:\\Users\\operator\\AppData\\Local\\Temp";
constexpr std::u16string_view kFallback =
    u"C:\\Users\\operator\\AppData\\Local\\Temp\\package Tarnwell";

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
    return sim::JoinPath(folder, name);
}

FaultRule Fails(std::string function, std::u16string argument, std::uint32_t error,
                std::uint32_t nth = 1, bool persistent = false) {
    FaultRule rule;
    rule.function = std::move(function);
    rule.argumentContains = std::move(argument);
    rule.error = error;
    rule.nthCall = nth;
    rule.persistent = persistent;
    return rule;
}

// What a scenario's machine looks like before the removal.
struct MachineSetup {
    sim::MachineConfig config;
    bool program32 = true;
    std::u16string packageRoot = u"C:\\Package";
    std::optional<Millis> netRunTime = Millis{300};  // nothing: net.exe missing
    std::optional<sim::XcopyBehaviour> xcopy = sim::XcopyBehaviour{};
    bool driverFilesPresent = true;
    std::vector<FaultRule> faults;
};

// The install program of a package, run on a machine that holds an earlier
// installation: the port monitor library in both system folders (the native
// one held by the running spooler) and the fourteen driver files.
class DriverFileRemoval {
  public:
    explicit DriverFileRemoval(const MachineSetup& setup)
        : machine(setup.config), program32(setup.program32) {
        if (setup.netRunTime) {
            sim::AddNetExe(machine, *setup.netRunTime);
        }
        if (setup.xcopy) {
            sim::AddXcopy(machine, *setup.xcopy);
        }
        machine.files.addFolders(u"D:\\");
        machine.files.addTextFile(Join(setup.packageRoot, u"setup.exe"), "MZ setup");
        machine.files.addTextFile(Join(setup.packageRoot, u"Systems\\Install.exe"), "MZ install");
        machine.files.addTextFile(Join(setup.packageRoot, u"kelvra.inf"), "[Version]");
        machine.files.addFolders(Join(setup.packageRoot, u"empty"));

        machine.files.addTextFile(Join(kSystem32, kPortMonitorLibrary), "native");
        machine.spooler.holdWhileRunning(Join(kSystem32, kPortMonitorLibrary));
        if (setup.config.windows64) {
            machine.files.addTextFile(Join(kSysWow64, kPortMonitorLibrary), "32-bit");
        }
        if (setup.driverFilesPresent) {
            for (std::u16string_view name : kDriverFiles) {
                machine.files.addTextFile(driverFile(name), "driver");
            }
        }
        for (const FaultRule& rule : setup.faults) {
            machine.faults.add(rule);
        }
        install = std::make_unique<sim::SimPlatform>(
            machine, Join(setup.packageRoot, u"Systems\\Install.exe"), setup.packageRoot);
        install->process().bits32 = setup.program32;
    }

    bool run() {
        startedAt = machine.clock.now();
        return RemoveDriverFiles(install->platform(), commandStartTick);
    }

    std::u16string driverFile(std::u16string_view name) const { return Join(driverFolder(), name); }
    std::u16string driverFolder() const {
        return program32 ? std::u16string(kDriverFolder32)
                         : u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
    }
    bool exists(std::u16string_view path) const { return machine.files.find(path) != nullptr; }

    // The numbers (1 to 14) of the driver files still on disk.
    std::vector<int> remainingDriverFiles() const {
        std::vector<int> out;
        for (std::size_t i = 0; i < kDriverFiles.size(); ++i) {
            if (exists(driverFile(kDriverFiles[i]))) {
                out.push_back(static_cast<int>(i + 1));
            }
        }
        return out;
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const std::u16string& text : machine.desktop.messageTexts()) {
            out.push_back(ToUtf8(text));
        }
        return out;
    }

    std::vector<std::shared_ptr<sim::SimProcess>> started(std::u16string_view program) const {
        std::vector<std::shared_ptr<sim::SimProcess>> out;
        for (const auto& process : machine.processes.processes()) {
            if (sim::EqualsNoCase(sim::FileName(process->launch.image), program)) {
                out.push_back(process);
            }
        }
        return out;
    }

    std::optional<std::u16string> restartEntry() {
        return machine.registry.stringValue(sim::RegistryRoot::LocalMachine, kRunOnceKey,
                                            kRestartValueName);
    }

    sim::SimMachine machine;
    bool program32 = true;
    std::unique_ptr<sim::SimPlatform> install;
    std::uint32_t commandStartTick = 0;
    Millis startedAt = 0;
};

// --- The spooler commands -------------------------------------------------------

struct CommandCase {
    const char* name;
    std::optional<Millis> runTime;  // nothing: the program is missing
    Millis startTime = 60000;
    Millis cost = 0;  // how long RunSpoolerCommand holds the caller
    bool leftRunning = false;
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.name;
}

class SpoolerCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(SpoolerCommandTest, HoldsAQuickCommandToFiveSecondsAndWaitsTenAtMost) {
    const CommandCase& c = GetParam();
    MachineSetup setup;
    setup.config.startTime = c.startTime;
    setup.netRunTime = c.runTime;
    DriverFileRemoval scenario(setup);
    Millis start = scenario.machine.clock.now();
    std::uint32_t tick = 0;
    RunSpoolerCommand(scenario.install->platform(), tick,
                      u"C:\\Windows\\System32\\net.exe stop spooler");
    SCOPED_TRACE(scenario.machine.trace.format());

    EXPECT_EQ(scenario.machine.clock.now() - start, c.cost);
    EXPECT_EQ(tick, static_cast<std::uint32_t>(start));
    auto net = scenario.started(u"net.exe");
    ASSERT_EQ(net.size(), c.runTime ? 1u : 0u);
    if (c.runTime) {
        EXPECT_EQ(net[0]->launch.creationFlags, win::kCreateNoWindow);
        EXPECT_EQ(net[0]->running(), c.leftRunning);
    }
    EXPECT_TRUE(scenario.machine.handles.stillOpen().empty());
    EXPECT_TRUE(scenario.machine.desktop.messageBoxes().empty());
    // The hold gives the processor up: every reading of the clock but the
    // two around the wait follows a pause.
    EXPECT_LE(scenario.machine.trace.matching("GetTickCount").size(),
              scenario.machine.trace.matching("Sleep(").size() + 2);
}

const CommandCase kCommandCases[] = {
    {"EndsAfter300ms", 300, 60000, 5000},
    {"EndsJustBeforeOneSecond", 999, 60000, 5000},
    {"EndsAtOneSecond", 1000, 60000, 1000},
    {"EndsAfter2500ms", 2500, 60000, 2500},
    {"StillRunningAfterTenSeconds", 12000, 60000, 10000, true},
    {"ProgramMissing", std::nullopt, 60000, 5000},
    {"TickCounterWrapsDuringTheHold", 300, (Millis{1} << 32) - 2000, 5000},
    {"TickCounterWrapsDuringTheWait", 2500, (Millis{1} << 32) - 1000, 2500},
};

INSTANTIATE_TEST_SUITE_P(Cases, SpoolerCommandTest, ::testing::ValuesIn(kCommandCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(SpoolerCommands, SpoolerIsStoppedAroundTheLibraryAndRunningAfterwards) {
    DriverFileRemoval scenario(MachineSetup{});
    EXPECT_TRUE(scenario.run());
    SCOPED_TRACE(scenario.machine.trace.format());
    auto net = scenario.started(u"net.exe");
    ASSERT_EQ(net.size(), 2u);
    EXPECT_EQ(ToUtf8(net[0]->launch.commandLine), "C:\\Windows\\System32\\net.exe stop spooler");
    EXPECT_EQ(ToUtf8(net[1]->launch.commandLine), "C:\\Windows\\System32\\net.exe start spooler");
    // Each quick command costs five seconds from its launch.
    EXPECT_EQ(net[1]->startedAt - net[0]->startedAt, 5000u);
    EXPECT_EQ(scenario.commandStartTick, static_cast<std::uint32_t>(net[1]->startedAt));
    EXPECT_TRUE(scenario.machine.spooler.running());
    // The library the running spooler held could go while it was stopped.
    EXPECT_FALSE(scenario.exists(Join(kSystem32, kPortMonitorLibrary)));
}

TEST(SpoolerCommands, WithoutNetExeTheLibraryHeldBySpoolerStaysAndRemovalGoesOn) {
    MachineSetup setup;
    setup.netRunTime = std::nullopt;
    DriverFileRemoval scenario(setup);
    EXPECT_TRUE(scenario.run());
    EXPECT_EQ(scenario.machine.clock.now() - scenario.startedAt, 10000u);
    EXPECT_TRUE(scenario.exists(Join(kSystem32, kPortMonitorLibrary)));
    EXPECT_TRUE(scenario.remainingDriverFiles().empty());
    EXPECT_TRUE(scenario.machine.desktop.messageBoxes().empty());
}

TEST(SpoolerCommands, UnreadableSystemFolderLeavesSpoolerAndLibraryAlone) {
    MachineSetup setup;
    setup.faults = {Fails("GetSystemDirectoryW", {}, win::kErrorNotEnoughMemory)};
    DriverFileRemoval scenario(setup);
    EXPECT_TRUE(scenario.run());
    EXPECT_TRUE(scenario.started(u"net.exe").empty());
    EXPECT_TRUE(scenario.machine.trace.matching("\\net.exe").empty());
    EXPECT_TRUE(scenario.exists(Join(kSystem32, kPortMonitorLibrary)));
    EXPECT_TRUE(scenario.remainingDriverFiles().empty());
    EXPECT_TRUE(scenario.machine.desktop.messageBoxes().empty());
}

// --- The port monitor library and WOW64 ----------------------------------------

struct LibraryCase {
    const char* name;
    bool windows64 = true;
    bool program32 = true;
    std::vector<std::string> missingExports;
    std::vector<FaultRule> faults;
    bool nativeDeleted = false;
    bool wow64Deleted = false;
};

void PrintTo(const LibraryCase& c, std::ostream* out) {
    *out << c.name;
}

class PortMonitorLibraryTest : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(PortMonitorLibraryTest, IsDeletedFromTheNativeSystemFolderOrLeftAlone) {
    const LibraryCase& c = GetParam();
    MachineSetup setup;
    setup.config.windows64 = c.windows64;
    setup.program32 = c.program32;
    setup.faults = c.faults;
    DriverFileRemoval scenario(setup);
    for (const std::string& function : c.missingExports) {
        scenario.machine.modules.removeExport(u"kernel32", function);
    }
    EXPECT_TRUE(scenario.run());
    SCOPED_TRACE(scenario.machine.trace.format());

    EXPECT_EQ(!scenario.exists(Join(kSystem32, kPortMonitorLibrary)), c.nativeDeleted);
    if (c.windows64) {
        EXPECT_EQ(!scenario.exists(Join(kSysWow64, kPortMonitorLibrary)), c.wow64Deleted);
    }
    // Redirection is on again for what follows, and nothing was reported.
    EXPECT_FALSE(scenario.install->process().redirectionDisabled);
    EXPECT_TRUE(scenario.machine.desktop.messageBoxes().empty());
    EXPECT_TRUE(scenario.remainingDriverFiles().empty());
}

const LibraryCase kLibraryCases[] = {
    {"Program32OnWindows64", true, true, {}, {}, true, false},
    {"Windows32", false, true, {}, {}, true, false},
    {"Program64OnWindows64", true, false, {}, {}, true, false},
    // Without the function the library is deleted plainly: a 32-bit program
    // on 64-bit Windows then reaches the 32-bit system folder's copy.
    {"NoIsWow64Process", true, true, {"IsWow64Process"}, {}, false, true},
    {"NoIsWow64ProcessOnWindows32", false, true, {"IsWow64Process"}, {}, true, false},
    {"NoDisableFunction", true, true, {"Wow64DisableWow64FsRedirection"}, {}, false, false},
    {"DisablingFails",
     true,
     true,
     {},
     {Fails("Wow64DisableWow64FsRedirection", {}, win::kErrorAccessDenied)},
     false,
     false},
    // Never switched off without the means to switch it back on.
    {"NoRevertFunction", true, true, {"Wow64RevertWow64FsRedirection"}, {}, false, false},
    {"NoKernel32Handle",
     true,
     true,
     {},
     {Fails("GetModuleHandleW", u"kernel32", win::kErrorModNotFound)},
     false,
     true},
    {"LibraryCannotBeDeleted",
     true,
     true,
     {},
     {Fails("DeleteFileW", u"TarnwellMon", win::kErrorAccessDenied)},
     false,
     false},
};

INSTANTIATE_TEST_SUITE_P(Cases, PortMonitorLibraryTest, ::testing::ValuesIn(kLibraryCases),
                         [](const auto& param) { return std::string(param.param.name); });

// --- The driver files ---------------------------------------------------------

struct FileCase {
    const char* name;
    std::function<void(DriverFileRemoval&)> prepare;
    bool result = true;
    std::vector<int> remaining;  // numbers of the driver files left
    std::size_t deletionsTried = 14;
};

void PrintTo(const FileCase& c, std::ostream* out) {
    *out << c.name;
}

class DriverFilesTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(DriverFilesTest, AreDeletedInOrderUntilOneStays) {
    const FileCase& c = GetParam();
    DriverFileRemoval scenario(MachineSetup{});
    if (c.prepare) {
        c.prepare(scenario);
    }
    EXPECT_EQ(scenario.run(), c.result);
    SCOPED_TRACE(scenario.machine.trace.format());

    EXPECT_EQ(scenario.remainingDriverFiles(), c.remaining);
    EXPECT_EQ(scenario.machine.trace.matching("DeleteFileW(\"C:\\Windows\\System32\\spool").size(),
              c.deletionsTried);
    // The fallback runs exactly when a file stayed.
    EXPECT_EQ(scenario.started(u"xcopy.exe").size(), c.result ? 0u : 1u);
    EXPECT_EQ(scenario.machine.restartPrompt.shown.size(), c.result ? 0u : 1u);
    EXPECT_EQ(scenario.restartEntry().has_value(), !c.result);
    EXPECT_TRUE(scenario.machine.desktop.messageBoxes().empty());
}

const FileCase kFileCases[] = {
    {"AllPresent", nullptr, true, {}},
    {"AllAbsent",
     [](DriverFileRemoval& s) {
         for (std::u16string_view name : kDriverFiles) {
             s.machine.files.deleteFile(s.driverFile(name));
         }
     },
     true,
     {}},
    {"ReadOnlyFileIsDeleted",
     [](DriverFileRemoval& s) {
         s.machine.files.find(s.driverFile(kDriverFiles[2]))->attributes =
             win::kFileAttributeReadonly | win::kFileAttributeHidden;
     },
     true,
     {}},
    {"FifthFileInUse",
     [](DriverFileRemoval& s) {
         s.machine.files.find(s.driverFile(kDriverFiles[4]))->inUse = true;
     },
     false,
     {5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
     5},
    {"MissingVersion3Folder",
     [](DriverFileRemoval& s) { s.machine.files.removeTree(s.driverFolder()); },
     false,
     {},
     1},
    {"LastFileRefused",
     [](DriverFileRemoval& s) {
         s.machine.faults.add(Fails("DeleteFileW", u"focus_adjust", win::kErrorAccessDenied));
     },
     false,
     {14}},
    {"DriverDirectoryUnreadable",
     [](DriverFileRemoval& s) {
         s.machine.faults.add(Fails("GetPrinterDriverDirectoryW", {}, win::kRpcSServerUnavailable));
     },
     false,
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
     0},
};

INSTANTIATE_TEST_SUITE_P(Cases, DriverFilesTest, ::testing::ValuesIn(kFileCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(DriverFiles, MissingVersion3FolderGivesPathNotFoundOnTheFirstName) {
    MachineSetup setup;
    setup.driverFilesPresent = false;
    DriverFileRemoval scenario(setup);
    scenario.machine.files.removeTree(kDriverFolder32);
    ASSERT_EQ(scenario.machine.files.lookupError(scenario.driverFile(kDriverFiles[0])),
              win::kErrorPathNotFound);
    EXPECT_FALSE(scenario.run());
    auto tried = scenario.machine.trace.matching("DeleteFileW(\"C:\\Windows\\System32\\spool");
    ASSERT_EQ(tried.size(), 1u);
    EXPECT_NE(tried[0].text.find("error 3"), std::string::npos) << tried[0].text;
}

TEST(DriverFiles, SixtyFourBitProgramUsesTheNativeDriverDirectory) {
    MachineSetup setup;
    setup.program32 = false;
    DriverFileRemoval scenario(setup);
    EXPECT_TRUE(scenario.run());
    EXPECT_TRUE(scenario.remainingDriverFiles().empty());
    EXPECT_EQ(scenario.machine.trace
                  .matching("DeleteFileW(\"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\")
                  .size(),
              14u);
}

// --- The reboot fallback ---------------------------------------------------------

// A scenario whose fifth driver file is in use, so that the fallback runs.
DriverFileRemoval& WithFileInUse(DriverFileRemoval& scenario) {
    scenario.machine.files.find(scenario.driverFile(kDriverFiles[4]))->inUse = true;
    return scenario;
}

struct FallbackCase {
    const char* name;
    MachineSetup setup;
    std::function<void(DriverFileRemoval&)> prepare;
    std::u16string folder;   // the fallback folder used
    std::u16string command;  // the copy's command line; empty: no copy started
    bool copied = true;      // the package is in the folder
    std::vector<std::string> messages;
    bool entryWritten = true;  // for a package copied
};

void PrintTo(const FallbackCase& c, std::ostream* out) {
    *out << c.name;
}

class RebootFallbackTest : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(RebootFallbackTest, CopiesThePackageSetsTheEntryAndOffersTheRestart) {
    const FallbackCase& c = GetParam();
    DriverFileRemoval scenario(c.setup);
    WithFileInUse(scenario);
    if (c.prepare) {
        c.prepare(scenario);
    }
    EXPECT_FALSE(scenario.run());
    SCOPED_TRACE(scenario.machine.trace.format());

    EXPECT_EQ(scenario.messages(), c.messages);
    auto copies = scenario.started(u"xcopy.exe");
    if (c.command.empty()) {
        EXPECT_TRUE(copies.empty());
    } else {
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(ToUtf8(copies[0]->launch.commandLine), ToUtf8(c.command));
        EXPECT_EQ(copies[0]->launch.creationFlags, win::kCreateNoWindow);
    }
    std::u16string copiedSetup = Join(c.folder, u"setup.exe");
    EXPECT_EQ(scenario.exists(copiedSetup), c.copied);
    EXPECT_EQ(scenario.exists(Join(c.folder, u"Systems\\Install.exe")), c.copied);
    if (c.copied && c.entryWritten) {
        EXPECT_EQ(ToUtf8(scenario.restartEntry().value_or(u"<none>")),
                  ToUtf8(u"\"" + copiedSetup + u"\""));
    } else {
        EXPECT_FALSE(scenario.restartEntry().has_value());
    }
    // The restart is offered in every case, once the copy is over.
    ASSERT_EQ(scenario.machine.restartPrompt.shown.size(), 1u);
    for (const auto& copy : copies) {
        if (!copy->running()) {
            EXPECT_GE(scenario.machine.restartPrompt.shown[0].at, *copy->endedAt);
        }
    }
    EXPECT_TRUE(scenario.machine.handles.stillOpen().empty());
}

std::u16string CopyCommand(std::u16string_view from, std::u16string_view to) {
    return u"xcopy \"" + std::u16string(from) + u"\" \"" + std::u16string(to) + u"\" /E/R/Y";
}

MachineSetup PackageAt(std::u16string root) {
    MachineSetup setup;
    setup.packageRoot = std::move(root);
    return setup;
}

MachineSetup CopyThatFails(std::uint32_t exitCode) {
    MachineSetup setup;
    setup.xcopy = sim::XcopyBehaviour{2000, exitCode};
    return setup;
}

MachineSetup NoXcopy() {
    MachineSetup setup;
    setup.xcopy = std::nullopt;
    return setup;
}

MachineSetup WithFaults(std::vector<FaultRule> faults) {
    MachineSetup setup;
    setup.faults = std::move(faults);
    return setup;
}

const std::u16string kLongFolder = u"C:\\" + std::u16string(200, u'p');

const FallbackCase kFallbackCases[] = {
    {"PackageCopiedToTheTemporaryFolder", MachineSetup{}, nullptr, std::u16string(kFallback),
     CopyCommand(u"C:\\Package", kFallback)},
    {"PackageAtADriveRoot", PackageAt(u"D:\\"), nullptr, std::u16string(kFallback),
     CopyCommand(u"D:\\", kFallback)},
    {"TemporaryFolderUnreadable", WithFaults({Fails("GetTempPathW", {}, win::kErrorAccessDenied)}),
     nullptr, u"C:\\Temp\\package Tarnwell",
     CopyCommand(u"C:\\Package", u"C:\\Temp\\package Tarnwell")},
    {"TemporaryFolderUnreadableAndCTempThereAlready",
     WithFaults({Fails("GetTempPathW", {}, win::kErrorAccessDenied)}),
     [](DriverFileRemoval& s) { s.machine.files.addFolders(u"C:\\Temp\\package Tarnwell"); },
     u"C:\\Temp\\package Tarnwell", CopyCommand(u"C:\\Package", u"C:\\Temp\\package Tarnwell")},
    {"TemporaryFolderTooLongForTheFallback", MachineSetup{},
     [](DriverFileRemoval& s) {
         s.machine.tempPath = kLongFolder + u"\\" + std::u16string(40, u't') + u"\\";
         s.machine.files.addFolders(s.machine.tempPath);
     },
     u"C:\\Temp\\package Tarnwell", CopyCommand(u"C:\\Package", u"C:\\Temp\\package Tarnwell")},
    {"FallbackFolderLeftFromAnEarlierAttempt", MachineSetup{},
     [](DriverFileRemoval& s) {
         s.machine.files.addTextFile(Join(kFallback, u"setup.exe"), "old").attributes =
             win::kFileAttributeReadonly;
         s.machine.files.addTextFile(Join(kFallback, u"leftover.txt"), "old");
     },
     std::u16string(kFallback), CopyCommand(u"C:\\Package", kFallback)},
    {"FallbackFolderCannotBeCreated",
     WithFaults({Fails("CreateDirectoryW", u"package Tarnwell", win::kErrorAccessDenied)}),
     nullptr,
     std::u16string(kFallback),
     {},
     false,
     {"CreateDirectory error"}},
    {"CTempCannotBeCreated",
     WithFaults({Fails("GetTempPathW", {}, win::kErrorAccessDenied),
                 Fails("CreateDirectoryW", u"C:\\Temp", win::kErrorAccessDenied, 1, true)}),
     nullptr,
     u"C:\\Temp\\package Tarnwell",
     {},
     false,
     {"CreateDirectory error", "CreateDirectory error"}},
    {"CopyProgramMissing",
     NoXcopy(),
     nullptr,
     std::u16string(kFallback),
     {},
     false,
     {"xcopy error = 2"}},
    {"CopyFails",
     CopyThatFails(5),
     nullptr,
     std::u16string(kFallback),
     CopyCommand(u"C:\\Package", kFallback),
     false,
     {"xcopy exit code = 5"}},
    {"FallbackNameTakenByAFileSoTheCopyNeverEnds",
     MachineSetup{},
     [](DriverFileRemoval& s) { s.machine.files.addTextFile(kFallback, "a file"); },
     std::u16string(kFallback),
     CopyCommand(u"C:\\Package", kFallback),
     false,
     {"xcopy did not end"}},
    {"CurrentFolderUnreadable",
     WithFaults({Fails("GetCurrentDirectoryW", {}, win::kErrorAccessDenied)}),
     nullptr,
     std::u16string(kFallback),
     {},
     false,
     {"xcopy error = 5"}},
    {"CommandLineWouldNotFit",
     PackageAt(kLongFolder),
     nullptr,
     std::u16string(kFallback),
     {},
     false,
     {"xcopy error = 206"}},
    {"CurrentFolderBeyondItsBuffer",
     PackageAt(kLongFolder + u"\\" + std::u16string(60, u'q')),
     nullptr,
     std::u16string(kFallback),
     {},
     false,
     {"xcopy error = 206"}},
    {"RunOnceKeyMissing",
     MachineSetup{},
     [](DriverFileRemoval& s) {
         s.machine.registry.deleteTree(sim::RegistryRoot::LocalMachine, kRunOnceKey);
     },
     std::u16string(kFallback),
     CopyCommand(u"C:\\Package", kFallback),
     true,
     {},
     false},
};

INSTANTIATE_TEST_SUITE_P(Cases, RebootFallbackTest, ::testing::ValuesIn(kFallbackCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RebootFallback, EntryRunsTheCopiedSetupEvenWithAProgramNamedAfterTheBlank) {
    DriverFileRemoval scenario(MachineSetup{});
    WithFileInUse(scenario);
    EXPECT_FALSE(scenario.run());
    std::u16string copied = Join(kFallback, u"setup.exe");
    scenario.machine.processes.addSimpleProgram(copied, 0);
    // What Windows would run for an unquoted path: "...\Temp\package.exe".
    scenario.machine.processes.addSimpleProgram(Join(kTemp, u"package.exe"), 0);
    std::u16string entry = scenario.restartEntry().value_or(u"");
    std::uint32_t error = 0;
    auto program = scenario.machine.processes.resolve(
        entry, {u"C:\\Windows\\explorer.exe", u"C:\\Windows\\System32", {}}, error);
    ASSERT_TRUE(program.has_value()) << "error " << error;
    EXPECT_EQ(ToUtf8(program->image), ToUtf8(copied));
}

TEST(RebootFallback, RestartIsStartedWhenTheUserAgrees) {
    DriverFileRemoval scenario(MachineSetup{});
    WithFileInUse(scenario);
    scenario.machine.restartPrompt.userAgrees = true;
    EXPECT_FALSE(scenario.run());
    EXPECT_TRUE(scenario.machine.restartPrompt.restartStarted);
    EXPECT_TRUE(scenario.restartEntry().has_value());
}

TEST(RebootFallback, CopyLongerThanThirtySecondsIsWaitedForBeforeTheRestartIsOffered) {
    MachineSetup setup;
    setup.xcopy = sim::XcopyBehaviour{45000, std::nullopt};
    DriverFileRemoval scenario(setup);
    WithFileInUse(scenario);
    EXPECT_FALSE(scenario.run());
    auto copies = scenario.started(u"xcopy.exe");
    ASSERT_EQ(copies.size(), 1u);
    ASSERT_FALSE(copies[0]->running());
    EXPECT_EQ(*copies[0]->endedAt - copies[0]->startedAt, 45000u);
    ASSERT_EQ(scenario.machine.restartPrompt.shown.size(), 1u);
    EXPECT_EQ(scenario.machine.restartPrompt.shown[0].at, *copies[0]->endedAt);
}

TEST(RebootFallback, CopyThatNeverEndsIsGivenUpAfterItsLimitAndLeftRunning) {
    DriverFileRemoval scenario(MachineSetup{});
    WithFileInUse(scenario);
    scenario.machine.files.addTextFile(kFallback, "a file");
    EXPECT_FALSE(scenario.run());
    auto copies = scenario.started(u"xcopy.exe");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(copies[0]->running());
    ASSERT_EQ(scenario.machine.restartPrompt.shown.size(), 1u);
    EXPECT_EQ(scenario.machine.restartPrompt.shown[0].at - copies[0]->startedAt, kCopyWaitLimit);
}

}  // namespace
}  // namespace tw::removal
