#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_format.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"

namespace tw::launcher {
namespace {

using platform::ToUtf8;
using sim::Millis;

constexpr Millis kInstallRunTime = 4000;

struct LauncherCase {
    const char* name;
    std::u16string setupPath;
    std::string arguments;
    bool installPresent = true;
    std::uint32_t installExitCode = 0;
    // A program named after the folder text before its first blank.
    std::u16string strayProgram;
    // Expected: the command line install was started with (empty: none).
    std::u16string command;
    std::u16string currentDirectory;
    std::u16string message;  // the one message shown, if any
};

class LauncherTest : public ::testing::TestWithParam<LauncherCase> {};

TEST_P(LauncherTest, StartsInstallFromThePackageRoot) {
    const LauncherCase& c = GetParam();
    sim::SimMachine machine;
    machine.files.addFolders(u"D:\\");
    machine.files.addFolders(u"C:\\Start");
    std::u16string root = sim::ParentPath(sim::NormalizePath(c.setupPath));
    std::u16string install = sim::JoinPath(root, u"Systems\\Install.exe");
    machine.processes.addSimpleProgram(c.setupPath, 0);
    if (c.installPresent) {
        machine.processes.addSimpleProgram(install, kInstallRunTime, c.installExitCode);
    } else {
        machine.files.addFolders(sim::JoinPath(root, u"Systems"));
    }
    if (!c.strayProgram.empty()) {
        machine.processes.addSimpleProgram(c.strayProgram, 10);
    }

    sim::SimPlatform setup(machine, c.setupPath, u"C:\\Start");
    Millis startedAt = machine.clock.now();
    EXPECT_EQ(RunSetup(setup.platform(), c.arguments), 0);

    SCOPED_TRACE(machine.trace.format());
    const auto& started = machine.processes.processes();
    if (c.command.empty()) {
        EXPECT_TRUE(started.empty());
    } else {
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(ToUtf8(started[0]->launch.commandLine), ToUtf8(c.command));
        EXPECT_TRUE(sim::EqualsNoCase(started[0]->launch.image, install));
        EXPECT_EQ(ToUtf8(started[0]->launch.currentDirectory), ToUtf8(c.currentDirectory));
        // setup waited for install to end, whatever its exit code.
        EXPECT_FALSE(started[0]->running());
        EXPECT_EQ(machine.clock.now(), startedAt + kInstallRunTime);
    }
    if (c.message.empty()) {
        EXPECT_TRUE(machine.desktop.messageBoxes().empty());
    } else {
        ASSERT_EQ(machine.desktop.messageBoxes().size(), 1u);
        const sim::MessageBoxRecord& box = machine.desktop.messageBoxes()[0];
        EXPECT_EQ(ToUtf8(box.text), ToUtf8(c.message));
        EXPECT_EQ(box.owner, platform::kNoWindow);
        EXPECT_EQ(ToUtf8(box.caption), "Error");  // the system's default caption
    }
    EXPECT_TRUE(machine.handles.stillOpen().empty());
}

std::u16string Repeat(char16_t unit, std::size_t count) {
    return std::u16string(count, unit);
}

// A folder name that makes "<folder>\Systems\Install.exe" in quotes, a blank
// and the terminator exactly fill 260 units, and one unit more.
std::u16string DeepFolder(std::size_t extra) {
    const std::size_t fixed = 2 /* quotes */ + 20 /* \Systems\Install.exe */ + 1 /* blank */ +
                              1 /* terminator */ + 3 /* C:\ */;
    return u"C:\\" + Repeat(u'p', 260 - fixed + extra);
}

const LauncherCase kCases[] = {
    {"NoArguments",
     u"C:\\Pkg\\setup.exe",
     "",
     true,
     0,
     {},
     u"\"C:\\Pkg\\Systems\\Install.exe\" ",
     u"C:\\Pkg",
     {}},
    {"Silent",
     u"C:\\Pkg\\setup.exe",
     "silent",
     true,
     0,
     {},
     u"\"C:\\Pkg\\Systems\\Install.exe\" silent",
     u"C:\\Pkg",
     {}},
    {"DriveRoot", u"D:\\setup.exe", "", true, 0, {}, u"\"D:\\Systems\\Install.exe\" ", u"D:\\", {}},
    {"FolderWithBlankAndStrayProgram",
     u"C:\\Temp\\package Tarnwell\\setup.exe",
     "",
     true,
     0,
     u"C:\\Temp\\package.exe",
     u"\"C:\\Temp\\package Tarnwell\\Systems\\Install.exe\" ",
     u"C:\\Temp\\package Tarnwell",
     {}},
    {"ArgumentByteWidened",
     u"C:\\Pkg\\setup.exe",
     "\xE9t\xE9",
     true,
     0,
     {},
     u"\"C:\\Pkg\\Systems\\Install.exe\" \u00E9t\u00E9",
     u"C:\\Pkg",
     {}},
    {"InstallMissing", u"C:\\Pkg\\setup.exe", "", false, 0, {}, {}, {}, u"Setup process error = 2"},
    {"ChildExitCodeIgnored",
     u"C:\\Pkg\\setup.exe",
     "x",
     true,
     7,
     {},
     u"\"C:\\Pkg\\Systems\\Install.exe\" x",
     u"C:\\Pkg",
     {}},
    {"CommandLineJustFits",
     DeepFolder(0) + u"\\setup.exe",
     "",
     true,
     0,
     {},
     u"\"" + DeepFolder(0) + u"\\Systems\\Install.exe\" ",
     DeepFolder(0),
     {}},
    {"CommandLineTooLong",
     DeepFolder(1) + u"\\setup.exe",
     "",
     true,
     0,
     {},
     {},
     {},
     u"Setup process error = 206"},
    {"ArgumentsMakeCommandTooLong",
     u"C:\\Pkg\\setup.exe",
     std::string(240, 'a'),
     true,
     0,
     {},
     {},
     {},
     u"Setup process error = 206"},
    {"ArgumentsBeyondTheirBuffer",
     u"C:\\Pkg\\setup.exe",
     std::string(260, 'a'),
     true,
     0,
     {},
     {},
     {},
     u"Setup process error = 206"},
    {"OwnPathBeyondItsBuffer",
     u"C:\\" + Repeat(u'q', 250) + u"\\setup.exe",
     "",
     true,
     0,
     {},
     {},
     {},
     u"Setup process error = 206"},
};

INSTANTIATE_TEST_SUITE_P(Cases, LauncherTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(LauncherStartFailure, ReportsThePlannedErrorCodeInSignedDecimal) {
    sim::SimMachine machine;
    machine.processes.addSimpleProgram(u"C:\\Pkg\\setup.exe", 0);
    machine.processes.addSimpleProgram(u"C:\\Pkg\\Systems\\Install.exe", 10);
    machine.faults.add({.function = "CreateProcessW", .error = 0x80070005});
    sim::SimPlatform setup(machine, u"C:\\Pkg\\setup.exe", u"C:\\");
    EXPECT_EQ(RunSetup(setup.platform(), ""), 0);
    ASSERT_EQ(machine.desktop.messageBoxes().size(), 1u);
    EXPECT_EQ(ToUtf8(machine.desktop.messageBoxes()[0].text), "Setup process error = -2147024891");
    EXPECT_EQ(machine.faults.fired(0), 1u);
}

TEST(LauncherCurrentFolder, FailedChangeIsNotReportedAndInstallStillStarts) {
    sim::SimMachine machine;
    machine.processes.addSimpleProgram(u"C:\\Pkg\\setup.exe", 0);
    machine.processes.addSimpleProgram(u"C:\\Pkg\\Systems\\Install.exe", 10);
    machine.faults.add({.function = "SetCurrentDirectoryW", .error = 5});
    sim::SimPlatform setup(machine, u"C:\\Pkg\\setup.exe", u"C:\\Windows");
    EXPECT_EQ(RunSetup(setup.platform(), ""), 0);
    ASSERT_EQ(machine.processes.processes().size(), 1u);
    EXPECT_EQ(ToUtf8(machine.processes.processes()[0]->launch.currentDirectory), "C:\\Windows");
    EXPECT_TRUE(machine.desktop.messageBoxes().empty());
}

}  // namespace
}  // namespace tw::launcher
