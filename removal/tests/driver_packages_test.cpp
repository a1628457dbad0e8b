#include "removal/driver_packages.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/text_format.h"
#include "sim/sim_platform.h"

namespace tw::removal {
namespace {

using platform::ToUtf8;
using sim::FaultRule;
using sim::InfEncoding;
using sim::InfPackage;

// --- INF texts ---------------------------------------------------------------------

const std::string kVersionStart =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=%Maker%\r\n";

// Our package as the driver store holds it: the display name from [Strings].
const std::string kOurDisplayName = kVersionStart +
                                    "DriverPackageDisplayName=%PackageName%\r\n"
                                    "\r\n[Manufacturer]\r\n%Maker%=Models\r\n"
                                    "\r\n[Strings]\r\nMaker=\"Velmorante\"\r\n"
                                    "PackageName=\"package Tarnwell\"\r\n";

// Another display name, the driver model named only in a comment.
const std::string kModelInComment = kVersionStart +
                                    "DriverPackageDisplayName=\"Engraver drivers\"\r\n"
                                    "; built for the Tarn-Well engraver\r\n"
                                    "[Strings]\r\nMaker=\"Velmorante\"\r\n";

// The driver model as a model of the INF, no display name at all.
const std::string kModelListed =
    kVersionStart +
    "\r\n[Models]\r\n\"Tarn-Well\"=Install,USBPRINT\\VELMORANTETARN\r\n"
    "[Strings]\r\nMaker=\"Velmorante\"\r\n";

const std::string kUnrelated =
    kVersionStart +
    "DriverPackageDisplayName=\"Plotter package\"\r\n"
    "[Models]\r\n\"Plotter 9\"=Install\r\n[Strings]\r\nMaker=\"Other\"\r\n";

// Both rules with other letter case.
const std::string kOtherCase = kVersionStart +
                               "DriverPackageDisplayName=\"Package Tarnwell\"\r\n"
                               "[Models]\r\n\"tarn-well\"=Install\r\n\"TARN-WELL\"=Install\r\n"
                               "[Strings]\r\nMaker=\"Velmorante\"\r\n";

// A section name line without its bracket: setup cannot read the INF's
// information, but its text names the model.
const std::string kDamaged = "[Version\r\nSignature=\"$Windows NT$\"\r\n; Tarn-Well\r\n";

InfPackage Utf16(std::u16string name, const std::string& text) {
    return {std::move(name), text, InfEncoding::Utf16};
}

InfPackage Ansi(std::u16string name, const std::string& text) {
    return {std::move(name), text, InfEncoding::Ansi};
}

InfPackage WithoutPnf(InfPackage package) {
    package.precompiled = false;
    return package;
}

InfPackage ReadOnly(InfPackage package) {
    package.attributes = 0x21;
    return package;
}

// --- The table ---------------------------------------------------------------------

struct PackagesCase {
    const char* name;
    std::vector<InfPackage> infs;
    bool uninstallFunction = true;  // setupapi.dll exports SetupUninstallOEMInfW
    std::vector<FaultRule> faults;
    // Expected.
    bool result = true;
    std::set<std::u16string> infsLeft;  // INFs (of `infs`) still there
    std::set<std::u16string> pnfsLeft;  // INFs whose .pnf is still there
    std::vector<std::u16string> messages;
    std::set<std::u16string> notOpened;  // INFs whose content was never read
};

// Cases are named by their name in test output.
void PrintTo(const PackagesCase& c, std::ostream* os) {
    *os << c.name;
}

class RemoveDriverPackagesTest : public ::testing::TestWithParam<PackagesCase> {};

TEST_P(RemoveDriverPackagesTest, RemovesOurPackagesOnly) {
    const PackagesCase& c = GetParam();
    sim::SimMachine machine;
    for (const InfPackage& inf : c.infs) {
        machine.infs.add(inf);
    }
    if (!c.uninstallFunction) {
        machine.modules.removeExport(u"setupapi", "SetupUninstallOEMInfW");
    }
    for (const FaultRule& rule : c.faults) {
        machine.faults.add(rule);
    }
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");

    EXPECT_EQ(RemoveDriverPackages(install.platform()), c.result);

    SCOPED_TRACE(machine.trace.format());
    std::set<std::u16string> infsLeft;
    std::set<std::u16string> pnfsLeft;
    for (const InfPackage& inf : c.infs) {
        if (machine.infs.holds(inf.name)) {
            infsLeft.insert(inf.name);
        }
        if (machine.infs.holdsPrecompiled(inf.name)) {
            pnfsLeft.insert(inf.name);
        }
    }
    auto utf8 = [](const std::set<std::u16string>& names) {
        std::set<std::string> out;
        for (const auto& name : names) {
            out.insert(ToUtf8(name));
        }
        return out;
    };
    EXPECT_EQ(utf8(infsLeft), utf8(c.infsLeft));
    EXPECT_EQ(utf8(pnfsLeft), utf8(c.pnfsLeft));

    std::vector<std::string> shown;
    for (const sim::MessageBoxRecord& box : machine.desktop.messageBoxes()) {
        shown.push_back(ToUtf8(box.text));
        EXPECT_EQ(ToUtf8(box.caption), "Install");
        EXPECT_EQ(box.owner, sim::kSimDialogWindow);
    }
    std::vector<std::string> expected;
    for (const auto& text : c.messages) {
        expected.push_back(ToUtf8(text));
    }
    EXPECT_EQ(shown, expected);

    for (const auto& name : c.notOpened) {
        EXPECT_TRUE(
            machine.trace.matching("CreateFileW(\"C:\\Windows\\inf\\" + ToUtf8(name)).empty())
            << ToUtf8(name) << " was opened";
    }
    // The search, the files, the memory blocks and the setup library are all
    // given back, whatever happened.
    EXPECT_TRUE(machine.handles.stillOpen().empty());
    EXPECT_EQ(machine.memory.outstanding(), 0u);
    EXPECT_EQ(machine.modules.outstandingLoads(), 0u);
    for (const FaultRule* rule : machine.faults.unfired()) {
        ADD_FAILURE() << "planned fault on " << rule->function << " never fired";
    }
}

const PackagesCase kCases[] = {
    {.name = "NoOemInfAtAll",
     .infs = {Utf16(u"kelvra.inf", kOurDisplayName), Utf16(u"usbprint.inf", kModelListed)},
     .result = false,
     .infsLeft = {u"kelvra.inf", u"usbprint.inf"},
     .pnfsLeft = {u"kelvra.inf", u"usbprint.inf"},
     .notOpened = {u"kelvra.inf", u"usbprint.inf"}},
    {.name = "DisplayNameMatchWithoutReadingTheContent",
     .infs = {Utf16(u"oem4.inf", kOurDisplayName)},
     .notOpened = {u"oem4.inf"}},
    {.name = "DisplayNameOfAnAnsiInf", .infs = {Ansi(u"oem4.inf", kOurDisplayName)}},
    {.name = "Utf16InfNamingTheModelInAComment", .infs = {Utf16(u"oem2.inf", kModelInComment)}},
    {.name = "AnsiInfNamingTheModelIsLeftInPlace",
     .infs = {Ansi(u"oem2.inf", kModelInComment), Ansi(u"oem3.inf", kModelListed)},
     .infsLeft = {u"oem2.inf", u"oem3.inf"},
     .pnfsLeft = {u"oem2.inf", u"oem3.inf"}},
    {.name = "OtherLetterCaseInBothRules",
     .infs = {Utf16(u"oem2.inf", kOtherCase)},
     .infsLeft = {u"oem2.inf"},
     .pnfsLeft = {u"oem2.inf"}},
    {.name = "SeveralMatchesInOnePass",
     .infs = {Utf16(u"oem1.inf", kOurDisplayName), Utf16(u"oem2.inf", kUnrelated),
              Utf16(u"oem3.inf", kModelListed), Utf16(u"oem10.inf", kModelInComment),
              Ansi(u"oem11.inf", kUnrelated)},
     .infsLeft = {u"oem2.inf", u"oem11.inf"},
     .pnfsLeft = {u"oem2.inf", u"oem11.inf"}},
    {.name = "WithoutUninstallFunctionBothFilesGoByHand",
     .infs = {Utf16(u"oem1.inf", kOurDisplayName), Utf16(u"OEM7.INF", kModelListed),
              Utf16(u"oem8.inf", kUnrelated)},
     .uninstallFunction = false,
     .infsLeft = {u"oem8.inf"},
     .pnfsLeft = {u"oem8.inf"}},
    {.name = "WithoutUninstallFunctionAMissingPnfIsReported",
     .infs = {WithoutPnf(Utf16(u"oem1.inf", kOurDisplayName))},
     .uninstallFunction = false,
     .messages = {u"DeleteFile Oem.pnf error = 2"}},
    {.name = "WithoutUninstallFunctionAReadOnlyInfIsDeleted",
     .infs = {ReadOnly(Utf16(u"oem1.inf", kModelListed))},
     .uninstallFunction = false},
    {.name = "WithoutUninstallFunctionAnInfThatStaysIsReportedAndItsPnfStillGoes",
     .infs = {Utf16(u"oem1.inf", kModelListed)},
     .uninstallFunction = false,
     .faults = {{.function = "DeleteFileW", .argumentContains = u"oem1.inf", .error = 32}},
     .infsLeft = {u"oem1.inf"},
     .messages = {u"DeleteFile Oem.inf error = 32"}},
    {.name = "SetupLibraryThatCannotBeLoadedMeansByHand",
     .infs = {Utf16(u"oem1.inf", kModelListed)},
     .faults = {{.function = "LoadLibraryW", .error = 126}}},
    {.name = "SystemFolderThatCannotBeReadMeansByHand",
     .infs = {Utf16(u"oem1.inf", kModelListed)},
     .faults = {{.function = "GetSystemDirectoryW", .error = 5}}},
    {.name = "InformationThatCannotBeReadIsStillTriedByContent",
     .infs = {Utf16(u"oem5.inf", kDamaged)}},
    {.name = "VersionQueryFailingLeavesOnlyTheContentRule",
     .infs = {Utf16(u"oem1.inf", kOurDisplayName), Utf16(u"oem2.inf", kModelInComment)},
     .faults = {{.function = "SetupQueryInfVersionInformationW", .error = 120, .persistent = true}},
     .infsLeft = {u"oem1.inf"},
     .pnfsLeft = {u"oem1.inf"}},
    {.name = "FileThatCannotBeOpenedDoesNotMatchByContent",
     .infs = {Utf16(u"oem1.inf", kModelListed)},
     .faults = {{.function = "CreateFileW", .argumentContains = u"oem1.inf", .error = 32}},
     .infsLeft = {u"oem1.inf"},
     .pnfsLeft = {u"oem1.inf"}},
    {.name = "FileThatCannotBeReadDoesNotMatchByContent",
     .infs = {Utf16(u"oem1.inf", kModelListed)},
     .faults = {{.function = "ReadFile", .argumentContains = u"oem1.inf", .error = 23}},
     .infsLeft = {u"oem1.inf"},
     .pnfsLeft = {u"oem1.inf"}},
    {.name = "NoMemoryForTheContentDoesNotMatch",
     .infs = {Utf16(u"oem1.inf", kModelListed)},
     .faults = {{.function = "GlobalAlloc", .error = 8}},
     .infsLeft = {u"oem1.inf"},
     .pnfsLeft = {u"oem1.inf"}},
    {.name = "SearchEndingOnAnotherErrorGivesFalse",
     .infs = {Utf16(u"oem1.inf", kModelListed), Utf16(u"oem2.inf", kModelListed)},
     .faults = {{.function = "FindNextFileW", .error = 21}},
     .result = false,
     .infsLeft = {u"oem2.inf"},
     .pnfsLeft = {u"oem2.inf"}},
    {.name = "WindowsFolderThatCannotBeReadGivesFalse",
     .infs = {Utf16(u"oem1.inf", kOurDisplayName)},
     .faults = {{.function = "GetWindowsDirectoryW", .error = 5}},
     .result = false,
     .infsLeft = {u"oem1.inf"},
     .pnfsLeft = {u"oem1.inf"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RemoveDriverPackagesTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// Nothing to remove: no library is loaded and nothing is read.
TEST(RemoveDriverPackages, EmptyInfFolderLoadsNothing) {
    sim::SimMachine machine;
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");
    EXPECT_FALSE(RemoveDriverPackages(install.platform()));
    EXPECT_TRUE(machine.trace.matching("LoadLibraryW").empty());
    EXPECT_TRUE(machine.trace.matching("SetupGetInfInformationW").empty());
    EXPECT_TRUE(machine.desktop.messageBoxes().empty());
}

// The setup library is loaded from the system folder by its full path for
// each package it removes, and freed after each use.
TEST(RemoveDriverPackages, LoadsTheSetupLibraryByFullPathForEachPackage) {
    sim::SimMachine machine;
    machine.infs.add(Utf16(u"oem1.inf", kOurDisplayName));
    machine.infs.add(Utf16(u"oem2.inf", kUnrelated));
    machine.infs.add(Utf16(u"oem3.inf", kModelListed));
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");
    EXPECT_TRUE(RemoveDriverPackages(install.platform()));
    SCOPED_TRACE(machine.trace.format());
    auto loads = machine.trace.matching("LoadLibraryW(");
    ASSERT_EQ(loads.size(), 2u);
    for (const auto& load : loads) {
        EXPECT_NE(load.text.find("\"C:\\Windows\\System32\\setupapi.dll\""), std::string::npos);
    }
    EXPECT_EQ(machine.trace.matching("SetupUninstallOEMInfW(\"oem1.inf\", 1) -> 1").size(), 1u);
    EXPECT_EQ(machine.trace.matching("SetupUninstallOEMInfW(\"oem3.inf\", 1) -> 1").size(), 1u);
    EXPECT_EQ(machine.modules.outstandingLoads(), 0u);
}

// A size query that fails gives INVALID_FILE_SIZE: it never sizes a block or
// a read, and the file does not match by content.
TEST(RemoveDriverPackages, FileThatCannotBeSizedIsNeitherHeldNorRead) {
    sim::SimMachine machine;
    machine.infs.add(Utf16(u"oem1.inf", kModelListed));
    machine.faults.add({.function = "GetFileSize", .argumentContains = u"oem1.inf", .error = 5});
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");
    EXPECT_TRUE(RemoveDriverPackages(install.platform()));
    SCOPED_TRACE(machine.trace.format());
    EXPECT_EQ(machine.faults.fired(0), 1u);
    EXPECT_TRUE(machine.trace.matching("GlobalAlloc").empty());
    EXPECT_TRUE(machine.trace.matching("ReadFile").empty());
    EXPECT_TRUE(machine.infs.holds(u"oem1.inf"));
    EXPECT_TRUE(machine.handles.stillOpen().empty());
}

// --- The driver model -----------------------------------------------------------------

TEST(RemovePrinterDriver, RemovesTheModelAndLeavesOthers) {
    sim::SimMachine machine;
    machine.spooler.addDriver(u"Plotter 9");
    machine.spooler.addDriver(u"Tarn-Well");
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");
    RemovePrinterDriver(install.platform());
    EXPECT_FALSE(machine.spooler.hasDriver(u"Tarn-Well"));
    EXPECT_TRUE(machine.spooler.hasDriver(u"Plotter 9"));
    EXPECT_TRUE(machine.desktop.messageBoxes().empty());
}

TEST(RemovePrinterDriver, ModelNotRegisteredShowsNothing) {
    sim::SimMachine machine;
    machine.spooler.addDriver(u"Plotter 9");
    sim::SimPlatform install(machine, u"E:\\Package\\Systems\\Install.exe", u"E:\\Package");
    RemovePrinterDriver(install.platform());
    EXPECT_EQ(machine.trace.matching("DeletePrinterDriverExW(\"Tarn-Well\", 0, 0) -> 0, error 1797")
                  .size(),
              1u);
    EXPECT_TRUE(machine.spooler.hasDriver(u"Plotter 9"));
    EXPECT_TRUE(machine.desktop.messageBoxes().empty());
}

}  // namespace
}  // namespace tw::removal
