// The three operations on the simulated machine: what they copy, run, wait
// for and show, with the machine's driver store, ports and printer set-up
// entry point behind them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_install/driver_install.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "sim/inf_folder.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"

namespace tw::driver_install {
namespace {

using platform::ToUtf8;
using sim::Millis;

// A UTF-16 INF naming the model, as the package ships it.
std::vector<std::uint8_t> PackageInf() {
    return sim::EncodeInfText(
        "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
        "[Strings]\r\nModel=\"Tarn-Well\"\r\n",
        sim::InfEncoding::Utf16);
}

// install running from a package root; the machine's defaults otherwise.
class DriverInstallTest : public ::testing::Test {
  protected:
    sim::SimMachine machine;
    std::u16string root = u"C:\\Pkg";

    // Puts the package (its INF) at `folder` and makes it install's current
    // folder.
    sim::SimPlatform& install(const std::u16string& folder = u"C:\\Pkg", bool withInf = true) {
        root = folder;
        machine.files.addFolders(folder);
        if (withInf) {
            machine.files.addFile(sim::JoinPath(folder, u"kelvra.inf"), PackageInf());
        }
        platform_.emplace(machine, sim::JoinPath(folder, u"Systems\\Install.exe"), folder);
        return *platform_;
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const std::u16string& text : machine.desktop.messageTexts()) {
            out.push_back(ToUtf8(text));
        }
        return out;
    }

    // Command lines of the processes started, in order.
    std::vector<std::string> started() const {
        std::vector<std::string> out;
        for (const auto& process : machine.processes.processes()) {
            out.push_back(ToUtf8(process->launch.commandLine));
        }
        return out;
    }

    void TearDown() override {
        EXPECT_EQ(machine.memory.outstanding(), 0u) << "a port list was not released";
        EXPECT_TRUE(machine.faults.unfired().empty()) << "a planned fault never happened";
        if (HasFailure()) {
            std::cout << machine.trace.format();
        }
    }

    std::optional<sim::SimPlatform> platform_;
};

// --- InstallDriverPackage ---------------------------------------------------

TEST_F(DriverInstallTest, PackageGoesToTheNextFreeOemNameWithThePackageRootAsSource) {
    machine.files.addTextFile(u"C:\\Windows\\inf\\oem0.inf", "[Version]\r\n");
    machine.files.addTextFile(u"C:\\Windows\\inf\\oem1.inf", "[Version]\r\n");
    InstallDriverPackage(install().platform());

    ASSERT_EQ(machine.driverStore.packages().size(), 1u);
    const sim::StoredPackage& package = machine.driverStore.packages()[0];
    EXPECT_EQ(ToUtf8(package.publishedPath), "C:\\Windows\\inf\\oem2.inf");
    EXPECT_EQ(ToUtf8(package.sourceRoot), "C:\\Pkg");
    EXPECT_EQ(machine.files.find(u"C:\\Windows\\inf\\oem2.inf")->bytes, PackageInf());
    EXPECT_TRUE(machine.files.isFile(u"C:\\Windows\\inf\\oem2.pnf"));
    EXPECT_TRUE(messages().empty());
}

TEST_F(DriverInstallTest, PackageAtADriveRootIsNamedWithTwoBackslashes) {
    machine.files.addFolders(u"D:\\");
    InstallDriverPackage(install(u"D:\\").platform());

    EXPECT_EQ(
        machine.trace.matching("SetupCopyOEMInfW(\"D:\\\\kelvra.inf\", media type 1, style 0)")
            .size(),
        1u);
    ASSERT_EQ(machine.driverStore.packages().size(), 1u);
    EXPECT_EQ(ToUtf8(machine.driverStore.packages()[0].sourceRoot), "D:\\");
    EXPECT_TRUE(messages().empty());
}

TEST_F(DriverInstallTest, PackageCopiedAgainKeepsItsPublishedName) {
    sim::SimPlatform& process = install();
    InstallDriverPackage(process.platform());
    InstallDriverPackage(process.platform());
    ASSERT_EQ(machine.driverStore.packages().size(), 1u);
    EXPECT_EQ(ToUtf8(machine.driverStore.packages()[0].publishedPath),
              "C:\\Windows\\inf\\oem0.inf");
    EXPECT_FALSE(machine.files.isFile(u"C:\\Windows\\inf\\oem1.inf"));
    EXPECT_TRUE(messages().empty());
}

struct PackageFailureCase {
    const char* name;
    std::u16string folder;
    bool withInf = true;
    const char* failingCall = nullptr;  // a planned fault, if any
    bool copyTried = true;              // SetupCopyOEMInfW was called
};

void PrintTo(const PackageFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class PackageFailureTest : public DriverInstallTest,
                           public ::testing::WithParamInterface<PackageFailureCase> {};

TEST_P(PackageFailureTest, ShowsCopyOemErrorAndCopiesNothing) {
    const PackageFailureCase& c = GetParam();
    if (c.failingCall != nullptr) {
        machine.faults.add({.function = c.failingCall, .error = win::kErrorAccessDenied});
    }
    InstallDriverPackage(install(c.folder, c.withInf).platform());

    ASSERT_EQ(messages(), std::vector<std::string>{"Copy OEM error"});
    EXPECT_EQ(machine.desktop.messageBoxes()[0].caption, u"Install");
    EXPECT_TRUE(machine.driverStore.packages().empty());
    EXPECT_TRUE(machine.files.children(u"C:\\Windows\\inf").empty());
    EXPECT_EQ(machine.trace.matching("SetupCopyOEMInfW").size(), c.copyTried ? 1u : 0u);
}

// "\kelvra.inf" is 11 units: a folder of 249 leaves no room for the path's
// terminator.
const std::u16string kLongFolder = u"C:\\" + std::u16string(246, u'p');

const PackageFailureCase kPackageFailures[] = {
    {"InfMissing", u"C:\\Pkg", false},
    {"CopyRefused", u"C:\\Pkg", true, "SetupCopyOEMInfW"},
    {"CurrentFolderUnreadable", u"C:\\Pkg", true, "GetCurrentDirectoryW", false},
    {"InfPathTooLong", kLongFolder, true, nullptr, false},
};

INSTANTIATE_TEST_SUITE_P(Package, PackageFailureTest, ::testing::ValuesIn(kPackageFailures),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(DriverInstallTest, InfPathThatJustFitsIsCopied) {
    std::u16string folder = u"C:\\" + std::u16string(245, u'p');  // 248 + 11 + terminator
    InstallDriverPackage(install(folder).platform());
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(machine.driverStore.packages().size(), 1u);
}

// --- InstallPrinterOnPort -----------------------------------------------------

TEST_F(DriverInstallTest, InstallCommandToTheCharacterFromADriveRoot) {
    machine.files.addFolders(u"D:\\");
    machine.ports.names = {u"COM1:", u"COM2:", u"LPT1:", u"FILE:"};
    machine.printerSetup.behaviour.installRunTime = 7'000;
    Millis start = machine.clock.now();

    EXPECT_TRUE(InstallPrinterOnPort(install(u"D:\\").platform()));

    EXPECT_EQ(started(), std::vector<std::string>{
                             "C:\\Windows\\System32\\rundll32 printui.dll,PrintUIEntry /if  /f "
                             "\"D:\\\\kelvra.inf\" /m \"Tarn-Well\" /r \"LPT1:\""});
    // Waited for until the command ended, and its handles closed.
    EXPECT_EQ(machine.clock.now(), start + 7'000);
    EXPECT_FALSE(machine.processes.processes()[0]->running());
    EXPECT_TRUE(machine.handles.stillOpen().empty());
    ASSERT_EQ(machine.spooler.queues().size(), 1u);
    const sim::PrintQueue& printer = *machine.spooler.queues()[0];
    EXPECT_EQ(ToUtf8(printer.name), "Tarn-Well");
    EXPECT_EQ(ToUtf8(printer.driverName), "Tarn-Well");
    EXPECT_EQ(ToUtf8(printer.portName), "LPT1:");
    EXPECT_EQ(machine.trace.matching("from \"D:\\\\kelvra.inf\")").size(), 1u);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DriverInstallTest, PortListIsAllocatedAtTheSizeOfThe32BitLayout) {
    // 8 ports of 5 characters: 8 records of 4 bytes, 8 names of 12 bytes.
    EXPECT_TRUE(InstallPrinterOnPort(install().platform()));
    EXPECT_EQ(machine.trace.matching("GlobalAlloc(128 bytes) -> block").size(), 1u);
    EXPECT_EQ(machine.trace.matching("EnumPortsW(level 1, 128 bytes) -> 1, 8 ports").size(), 1u);
    EXPECT_EQ(started().size(), 1u);
}

TEST_F(DriverInstallTest, PortWithAQuoteIsNeverPutOnTheCommandLine) {
    machine.ports.names = {u"LPT1:\" /b \"Other", u"COM3:", u"USB001"};
    EXPECT_TRUE(InstallPrinterOnPort(install().platform()));
    ASSERT_EQ(started().size(), 1u);
    EXPECT_TRUE(started()[0].ends_with(" /r \"COM3:\"")) << started()[0];
    EXPECT_EQ(started()[0].find("Other"), std::string::npos);
}

TEST_F(DriverInstallTest, InstallThatInstallsNothingStillReturnsTrue) {
    machine.printerSetup.behaviour.installsNothing = true;
    EXPECT_TRUE(InstallPrinterOnPort(install().platform()));
    EXPECT_EQ(started().size(), 1u);
    EXPECT_TRUE(machine.spooler.queues().empty());
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(machine.handles.stillOpen().empty());
}

TEST_F(DriverInstallTest, InstallThatHangsIsWaitedForWithoutLimit) {
    machine.printerSetup.behaviour.installRunTime = Millis{6} * 3'600'000;
    Millis start = machine.clock.now();
    EXPECT_TRUE(InstallPrinterOnPort(install().platform()));
    EXPECT_EQ(machine.clock.now(), start + Millis{6} * 3'600'000);
    EXPECT_EQ(machine.spooler.queues().size(), 1u);
}

struct InstallFailureCase {
    const char* name;
    std::vector<std::u16string> ports;
    const char* failingCall = nullptr;
    std::uint32_t nthCall = 1;
    std::u16string folder = u"C:\\Pkg";
    bool result = true;
    std::vector<std::string> messages;
};

void PrintTo(const InstallFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class InstallFailureTest : public DriverInstallTest,
                           public ::testing::WithParamInterface<InstallFailureCase> {};

TEST_P(InstallFailureTest, RunsNothingAndSaysWhy) {
    const InstallFailureCase& c = GetParam();
    machine.ports.names = c.ports;
    if (c.failingCall != nullptr) {
        machine.faults.add(
            {.function = c.failingCall, .nthCall = c.nthCall, .error = win::kErrorFileNotFound});
    }
    Millis start = machine.clock.now();

    EXPECT_EQ(InstallPrinterOnPort(install(c.folder).platform()), c.result);

    EXPECT_EQ(messages(), c.messages);
    EXPECT_TRUE(started().empty());
    // Nothing was waited for and no handle is left.
    EXPECT_EQ(machine.clock.now(), start);
    EXPECT_TRUE(machine.handles.stillOpen().empty());
}

const std::vector<std::u16string> kPorts{u"COM1:", u"LPT1:"};
// With "C:\Windows\System32" (19 units), the fixed pieces (77) and "LPT1:"
// (5), the command holds 101 units besides the current folder: a folder of
// 159 leaves it too long, while the INF path alone would fit.
const std::u16string kDeepFolder = u"C:\\" + std::u16string(156, u'd');

const InstallFailureCase kInstallFailures[] = {
    {"OnlyUsbPorts", {u"USB001", u"usb002"}, nullptr, 1, u"C:\\Pkg", false, {"No port exists"}},
    {"NoPorts", {}, nullptr, 1, u"C:\\Pkg", false, {"No port exists"}},
    {"SizedEnumerationFails", kPorts, "EnumPortsW", 2, u"C:\\Pkg", false, {"No port exists"}},
    {"PortListNotAllocated", kPorts, "GlobalAlloc", 1, u"C:\\Pkg", false, {"No port exists"}},
    {"SystemFolderUnreadable",
     kPorts,
     "GetSystemDirectoryW",
     1,
     u"C:\\Pkg",
     true,
     {"System Directory error"}},
    {"CurrentFolderUnreadable",
     kPorts,
     "GetCurrentDirectoryW",
     1,
     u"C:\\Pkg",
     true,
     {"Process error"}},
    {"CommandTooLong", kPorts, nullptr, 1, kDeepFolder, true, {"Process error"}},
};

INSTANTIATE_TEST_SUITE_P(Install, InstallFailureTest, ::testing::ValuesIn(kInstallFailures),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(DriverInstallTest, InstallCommandThatJustFitsIsRun) {
    // One unit less than the command that is too long.
    std::u16string folder = u"C:\\" + std::u16string(155, u'd');
    machine.ports.names = kPorts;
    EXPECT_TRUE(InstallPrinterOnPort(install(folder).platform()));
    ASSERT_EQ(started().size(), 1u);
    EXPECT_EQ(started()[0].size(), 259u);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DriverInstallTest, Rundll32ThatCannotStartShowsProcessErrorAndReturnsTrue) {
    machine.faults.add({.function = "CreateProcessW", .error = win::kErrorFileNotFound});
    Millis start = machine.clock.now();
    EXPECT_TRUE(InstallPrinterOnPort(install().platform()));
    EXPECT_EQ(messages(), std::vector<std::string>{"Process error"});
    EXPECT_TRUE(machine.processes.processes().empty());
    EXPECT_EQ(machine.clock.now(), start);
    EXPECT_TRUE(machine.trace.matching("WaitForSingleObject").empty());
    EXPECT_TRUE(machine.handles.stillOpen().empty());
}

// --- OpenPrinterProperties ----------------------------------------------------

TEST_F(DriverInstallTest, PropertiesOfTheInstalledPrinterStayOpenReadyForInput) {
    machine.printerSetup.behaviour.propertiesReadyAfter = 2'500;
    sim::SimPlatform& process = install();
    ASSERT_TRUE(InstallPrinterOnPort(process.platform()));
    Millis start = machine.clock.now();

    platform::ProcessInformation properties;
    OpenPrinterProperties(process.platform(), properties);

    ASSERT_EQ(started().size(), 2u);
    EXPECT_EQ(started()[1],
              "C:\\Windows\\System32\\rundll32 printui.dll,PrintUIEntry /n \"Tarn-Well\" /p");
    // Returned once the window waited for input, with the process running
    // and both its handles kept for the caller.
    EXPECT_EQ(machine.clock.now(), start + 2'500);
    const auto& running = machine.processes.processes()[1];
    EXPECT_TRUE(running->running());
    EXPECT_EQ(properties.processId, running->id);
    EXPECT_NE(properties.threadId, 0u);
    EXPECT_EQ(machine.handles.stillOpen().size(), 2u);
    ASSERT_EQ(machine.printerSetup.windows().size(), 1u);
    EXPECT_TRUE(machine.printerSetup.windows()[0].printerFound);
    EXPECT_TRUE(messages().empty());

    // The caller closes them at the end of its path.
    auto& kernel = process.platform().kernel;
    EXPECT_TRUE(kernel.CloseHandle(properties.process).value);
    EXPECT_TRUE(kernel.CloseHandle(properties.thread).value);
}

TEST_F(DriverInstallTest, PropertiesOfAPrinterNeverInstalledOpenTheEntryPointsOwnWindow) {
    platform::ProcessInformation properties;
    OpenPrinterProperties(install().platform(), properties);
    ASSERT_EQ(machine.printerSetup.windows().size(), 1u);
    EXPECT_FALSE(machine.printerSetup.windows()[0].printerFound);
    EXPECT_TRUE(messages().empty());
    auto& kernel = platform_->platform().kernel;
    kernel.CloseHandle(properties.process);
    kernel.CloseHandle(properties.thread);
}

struct PropertiesFailureCase {
    const char* name;
    const char* failingCall;
};

void PrintTo(const PropertiesFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class PropertiesFailureTest : public DriverInstallTest,
                              public ::testing::WithParamInterface<PropertiesFailureCase> {};

TEST_P(PropertiesFailureTest, ShowsProcessErrorAndLeavesNullHandles) {
    machine.faults.add({.function = GetParam().failingCall, .error = win::kErrorAccessDenied});
    Millis start = machine.clock.now();
    platform::ProcessInformation properties{platform::Handle{0x99}, platform::Handle{0x9C}, 7, 8};

    OpenPrinterProperties(install().platform(), properties);

    EXPECT_EQ(messages(), std::vector<std::string>{"Process error"});
    EXPECT_EQ(properties.process, platform::kNullHandle);
    EXPECT_EQ(properties.thread, platform::kNullHandle);
    EXPECT_EQ(properties.processId, 0u);
    EXPECT_EQ(properties.threadId, 0u);
    EXPECT_TRUE(machine.processes.processes().empty());
    EXPECT_TRUE(machine.trace.matching("WaitForInputIdle").empty());
    EXPECT_EQ(machine.clock.now(), start);
}

const PropertiesFailureCase kPropertiesFailures[] = {
    {"CannotStart", "CreateProcessW"},
    // Never run from an unfilled system folder buffer.
    {"SystemFolderUnreadable", "GetSystemDirectoryW"},
};

INSTANTIATE_TEST_SUITE_P(Properties, PropertiesFailureTest,
                         ::testing::ValuesIn(kPropertiesFailures),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace tw::driver_install
