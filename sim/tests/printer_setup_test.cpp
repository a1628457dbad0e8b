#include "sim/printer_setup.h"

#include <gtest/gtest.h>

#include "platform/text_format.h"
#include "sim/machine.h"

namespace tw::sim {
namespace {

using platform::ToUtf8;

class PrinterSetupTest : public ::testing::Test {
  protected:
    SimMachine machine;
    const std::u16string rundll32 = u"C:\\Windows\\System32\\rundll32.exe";

    void SetUp() override {
        machine.files.addTextFile(u"C:\\Pkg\\kelvra.inf", "[Strings]\r\nModel=\"Tarn-Well\"\r\n");
    }

    // Runs rundll32 with `arguments` until it ends (or for `limit` ms).
    std::shared_ptr<SimProcess> run(std::u16string_view arguments, Millis limit = 60'000) {
        std::u16string command = u"C:\\Windows\\System32\\rundll32 " + std::u16string(arguments);
        auto process =
            machine.processes.start({rundll32, command, std::u16string(arguments), u"C:\\Pkg", 0});
        machine.clock.advanceBy(limit);
        return process;
    }
};

TEST_F(PrinterSetupTest, InstallCreatesThePrinterWhenItEnds) {
    machine.printerSetup.behaviour.installRunTime = 5'000;
    auto process = run(
        u"printui.dll,PrintUIEntry /if  /f \"C:\\Pkg\\kelvra.inf\" /m \"Tarn-Well\" /r \"lpt1:\"",
        4'999);
    EXPECT_TRUE(machine.spooler.queues().empty());
    machine.clock.advanceBy(1);
    EXPECT_FALSE(process->running());
    ASSERT_EQ(machine.spooler.queues().size(), 1u);
    const PrintQueue& queue = *machine.spooler.queues()[0];
    EXPECT_EQ(ToUtf8(queue.name), "Tarn-Well");
    EXPECT_EQ(ToUtf8(queue.driverName), "Tarn-Well");
    EXPECT_EQ(ToUtf8(queue.portName), "lpt1:");
    EXPECT_EQ(queue.jobs, 0u);
    EXPECT_TRUE(machine.spooler.hasDriver(u"Tarn-Well"));
}

struct RefusalCase {
    const char* name;
    std::u16string arguments;
    const char* reason;
    bool spoolerRunning = true;
    std::size_t queuesBefore = 0;  // a queue "Tarn-Well" there already
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class PrinterSetupRefusalTest : public PrinterSetupTest,
                                public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(PrinterSetupRefusalTest, InstallsNothingAndEndsNormally) {
    machine.files.addTextFile(u"C:\\Pkg\\other.inf", "[Strings]\r\nModel=\"Other\"\r\n");
    machine.spooler.setRunning(GetParam().spoolerRunning);
    for (std::size_t queue = 0; queue < GetParam().queuesBefore; ++queue) {
        machine.spooler.addQueue({.name = u"Tarn-Well", .driverName = u"Tarn-Well"});
    }
    auto process = run(GetParam().arguments);
    EXPECT_FALSE(process->running());
    EXPECT_EQ(process->exitCode, 0u);
    EXPECT_EQ(machine.spooler.queues().size(), GetParam().queuesBefore);
    EXPECT_EQ(machine.trace.matching(GetParam().reason).size(), 1u) << machine.trace.format();
}

const RefusalCase kRefusals[] = {
    {"InfMissing",
     u"printui.dll,PrintUIEntry /if /f \"C:\\Pkg\\absent.inf\" /m \"Tarn-Well\" /r LPT1:",
     "not found"},
    {"ModelNotInTheInf",
     u"printui.dll,PrintUIEntry /if /f C:\\Pkg\\other.inf /m Tarn-Well /r LPT1:", "not in"},
    {"PortUnknown", u"printui.dll,PrintUIEntry /if /f C:\\Pkg\\kelvra.inf /m Tarn-Well /r LPT9:",
     "no port"},
    {"PortMissing", u"printui.dll,PrintUIEntry /if /f C:\\Pkg\\kelvra.inf /m Tarn-Well",
     "switch /f, /m or /r missing"},
    {"OtherEntryPoint", u"shell32.dll,Control_RunDLL", "no printer set-up entry point"},
    {"SpoolerStopped", u"printui.dll,PrintUIEntry /if /f C:\\Pkg\\kelvra.inf /m Tarn-Well /r LPT1:",
     "the print spooler is stopped", false},
    {"PrinterExists", u"printui.dll,PrintUIEntry /if /f C:\\Pkg\\kelvra.inf /m Tarn-Well /r LPT1:",
     "exists already", true, 1},
};

INSTANTIATE_TEST_SUITE_P(Install, PrinterSetupRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(PrinterSetupTest, PropertiesWindowStaysOpenAndWaitsForInputAfterItsDelay) {
    machine.printerSetup.behaviour.propertiesReadyAfter = 800;
    auto process = run(u"printui.dll,PrintUIEntry /n \"Tarn-Well\" /p", 799);
    EXPECT_TRUE(process->hasMessageQueue);
    EXPECT_FALSE(process->inputIdleAt.has_value());
    machine.clock.advanceBy(1'000'000);
    EXPECT_EQ(process->inputIdleAt, process->startedAt + 800);
    EXPECT_TRUE(process->running());
    ASSERT_EQ(machine.printerSetup.windows().size(), 1u);
    EXPECT_FALSE(machine.printerSetup.windows()[0].printerFound);
}

}  // namespace
}  // namespace tw::sim
