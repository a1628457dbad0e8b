#include "removal/device_key.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "sim/access_control_tool.h"
#include "sim/command_line.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"

namespace tw::removal {
namespace {

using platform::ToUtf8;
using sim::FaultRule;
using sim::Millis;
using sim::RegistryRoot;

const std::u16string kDeviceKey = u"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\VELMORANTE_Tarnwell";
const std::u16string kArguments =
    u" -on hklm\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\VELMORANTE_Tarnwell -ot reg -actn ace "
    u"-ace ";

struct DeviceKeyCase {
    const char* name;
    std::u16string packageRoot = u"E:\\Package";
    std::u16string userName = u"operator";
    bool toolPresent = true;
    Millis toolRunTime = sim::kAccessToolRunTime;
    bool keyPresent = true;
    std::vector<FaultRule> faults;
    // Expected.
    std::u16string command;  // the tool's command line; empty: not started
    bool keyDeleted = true;
    std::vector<std::u16string> messages;
    Millis duration = 0;  // how long the operation held the wizard
};

// Cases are named by their name in test output.
void PrintTo(const DeviceKeyCase& c, std::ostream* os) {
    *os << c.name;
}

class RemoveDeviceKeyTest : public ::testing::TestWithParam<DeviceKeyCase> {};

TEST_P(RemoveDeviceKeyTest, GrantsAccessThenDeletesTheKey) {
    const DeviceKeyCase& c = GetParam();
    sim::SimMachine machine;
    machine.userName = c.userName;
    std::u16string root = sim::NormalizePath(c.packageRoot);
    std::u16string tool = sim::JoinPath(root, u"Systems\\Config.exe");
    machine.processes.addSimpleProgram(sim::JoinPath(root, u"Systems\\Install.exe"), 0);
    if (c.toolPresent) {
        sim::AddAccessControlTool(machine, tool, c.toolRunTime);
    }
    // A program named after the package folder's text before its blank, which
    // an unquoted tool path would run instead.
    std::u16string stray;
    if (std::size_t blank = root.find(u' '); blank != std::u16string::npos) {
        stray = root.substr(0, blank) + u".exe";
        machine.processes.addSimpleProgram(stray, 10);
    }
    if (c.keyPresent) {
        sim::RegistryKey& key = machine.registry.create(RegistryRoot::LocalMachine, kDeviceKey);
        key.deleteDenied = true;
        machine.registry.create(RegistryRoot::LocalMachine, kDeviceKey + u"\\5&2a1b&0&1")
            .deleteDenied = true;
        machine.registry.setValue(RegistryRoot::LocalMachine, kDeviceKey + u"\\5&2a1b&0&1",
                                  u"DeviceDesc", {1, {'T', 0, 0, 0}});
    }
    for (const FaultRule& rule : c.faults) {
        machine.faults.add(rule);
    }
    sim::SimPlatform install(machine, sim::JoinPath(root, u"Systems\\Install.exe"), c.packageRoot);
    Millis start = machine.clock.now();

    RemoveDeviceKey(install.platform());

    SCOPED_TRACE(machine.trace.format());
    EXPECT_EQ(machine.clock.now() - start, c.duration);
    const auto& started = machine.processes.processes();
    if (c.command.empty()) {
        EXPECT_TRUE(started.empty());
    } else {
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(ToUtf8(started[0]->launch.commandLine), ToUtf8(c.command));
        EXPECT_TRUE(sim::EqualsNoCase(started[0]->launch.image, tool));
        EXPECT_EQ(started[0]->launch.creationFlags, win::kCreateNoWindow);
    }
    EXPECT_EQ(machine.registry.find(RegistryRoot::LocalMachine, kDeviceKey) == nullptr,
              c.keyDeleted);
    // The parent key is never touched.
    EXPECT_NE(machine.registry.find(RegistryRoot::LocalMachine,
                                    u"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT"),
              nullptr);
    std::vector<std::string> shown;
    for (const auto& text : machine.desktop.messageTexts()) {
        shown.push_back(ToUtf8(text));
    }
    std::vector<std::string> expected;
    for (const auto& text : c.messages) {
        expected.push_back(ToUtf8(text));
    }
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(machine.handles.stillOpen().empty());
    for (const FaultRule* rule : machine.faults.unfired()) {
        ADD_FAILURE() << "planned fault on " << rule->function << " never fired";
    }
}

std::u16string Command(std::u16string_view root, std::u16string_view ace) {
    return u"\"" + std::u16string(root) + u"\\systems\\Config.exe\"" + kArguments +
           std::u16string(ace);
}

// A package folder that makes the command line for the user "operator"
// exactly 259 units long (with the terminator, 260), and one unit longer.
std::u16string DeepRoot(std::size_t extra) {
    std::size_t fixed = Command(u"", u"n:\\operator;p:full").size();
    return u"E:\\" + std::u16string(259 - fixed - 3 + extra, u'p');
}

const DeviceKeyCase kCases[] = {
    {.name = "PackageFolder",
     .command = Command(u"E:\\Package", u"n:\\operator;p:full"),
     .duration = sim::kAccessToolRunTime},
    {.name = "PackageAtADriveRootGivesTwoBackslashes",
     .packageRoot = u"D:\\",
     .command = Command(u"D:\\", u"n:\\operator;p:full"),
     .duration = sim::kAccessToolRunTime},
    {.name = "PackageFolderWithABlankRunsTheTool",
     .packageRoot = u"C:\\Users\\operator\\AppData\\Local\\Temp\\package Tarnwell",
     .command = Command(u"C:\\Users\\operator\\AppData\\Local\\Temp\\package Tarnwell",
                        u"n:\\operator;p:full"),
     .duration = sim::kAccessToolRunTime},
    {.name = "UserNameWithABlankKeepsTheTrusteeArgumentWhole",
     .userName = u"Ana Lopez",
     .command = Command(u"E:\\Package", u"\"n:\\Ana Lopez;p:full\""),
     .duration = sim::kAccessToolRunTime},
    {.name = "UserNameThatCannotBeReadSkipsTheTool",
     .faults = {{.function = "GetUserNameW", .error = 1332}},
     .keyDeleted = false,
     .messages = {u"INFO: Unable to find user name"}},
    {.name = "ToolMissingStillTriesTheKey", .toolPresent = false, .keyDeleted = false},
    {.name = "ToolStillRunningAfterFiveSecondsIsLeftToRun",
     .toolRunTime = 8000,
     .command = Command(u"E:\\Package", u"n:\\operator;p:full"),
     .keyDeleted = false,
     .duration = 5000},
    {.name = "KeyAbsent",
     .keyPresent = false,
     .command = Command(u"E:\\Package", u"n:\\operator;p:full"),
     .duration = sim::kAccessToolRunTime},
    {.name = "CurrentFolderThatCannotBeReadSkipsTheTool",
     .faults = {{.function = "GetCurrentDirectoryW", .error = 5}},
     .keyDeleted = false},
    {.name = "CommandLineThatJustFits",
     .packageRoot = DeepRoot(0),
     .command = Command(DeepRoot(0), u"n:\\operator;p:full"),
     .duration = sim::kAccessToolRunTime},
    {.name = "CommandLineTooLongSkipsTheTool", .packageRoot = DeepRoot(1), .keyDeleted = false},
};

INSTANTIATE_TEST_SUITE_P(Cases, RemoveDeviceKeyTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// The tool that outlived the wait grants access when it ends: the key stays
// until a later removal.
TEST(RemoveDeviceKey, ASlowToolGrantsAccessOnlyAfterTheDeletionWasTried) {
    sim::SimMachine machine;
    sim::AddAccessControlTool(machine, u"E:\\Package\\Systems\\Config.exe", 8000);
    machine.registry.create(RegistryRoot::LocalMachine, kDeviceKey).deleteDenied = true;
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");
    RemoveDeviceKey(install.platform());
    ASSERT_NE(machine.registry.find(RegistryRoot::LocalMachine, kDeviceKey), nullptr);
    machine.clock.advanceBy(3000);
    RemoveDeviceKey(install.platform());
    EXPECT_EQ(machine.registry.find(RegistryRoot::LocalMachine, kDeviceKey), nullptr);
}

// --- The access-control tool's model ---------------------------------------------------

TEST(AccessControlTool, SplitsArgumentsAsAWindowsProgramDoes) {
    struct Split {
        std::u16string text;
        std::vector<std::u16string> arguments;
    };
    const Split kSplits[] = {
        {u"-ace n:\\Ana Lopez;p:full", {u"-ace", u"n:\\Ana", u"Lopez;p:full"}},
        {u"-ace \"n:\\Ana Lopez;p:full\"", {u"-ace", u"n:\\Ana Lopez;p:full"}},
        {u"a\\\\\"b c\" d", {u"a\\b c", u"d"}},
        {u"a\\\"b  c\\d", {u"a\"b", u"c\\d"}},
        {u"  ", {}},
    };
    for (const Split& split : kSplits) {
        std::vector<std::string> got;
        for (const auto& argument : sim::SplitArguments(split.text)) {
            got.push_back(ToUtf8(argument));
        }
        std::vector<std::string> want;
        for (const auto& argument : split.arguments) {
            want.push_back(ToUtf8(argument));
        }
        EXPECT_EQ(got, want) << ToUtf8(split.text);
    }
}

// Unquoted, a user name with a blank reaches the tool in two pieces: it
// grants nothing and the key stays.
TEST(AccessControlTool, TrusteeSplitByABlankGrantsNothing) {
    sim::SimMachine machine;
    machine.userName = u"Ana Lopez";
    sim::AddAccessControlTool(machine, u"E:\\Package\\Systems\\Config.exe");
    machine.registry.create(RegistryRoot::LocalMachine, kDeviceKey).deleteDenied = true;
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");
    platform::ProcessInformation info;
    ASSERT_TRUE(install.platform()
                    .kernel
                    .CreateProcessW(u"\"E:\\Package\\systems\\Config.exe\"" + kArguments +
                                        u"n:\\Ana Lopez;p:full",
                                    0, info)
                    .value);
    machine.clock.advanceBy(sim::kAccessToolRunTime);
    EXPECT_EQ(machine.processes.processes().at(0)->exitCode, 1u);
    EXPECT_EQ(machine.registry.deleteTree(RegistryRoot::LocalMachine, kDeviceKey, u"Ana Lopez"),
              win::kErrorAccessDenied);
    install.platform().kernel.CloseHandle(info.process);
    install.platform().kernel.CloseHandle(info.thread);
}

}  // namespace
}  // namespace tw::removal
