// Whole runs of install on the simulated machine with the real operations of
// every subsystem: the engraver behind its USB interface, the spooler, the
// driver store, the printer set-up entry point, net.exe, xcopy and the
// access-control tool, and a user who does what the labels ask. Each run is
// checked step by step: which operations a step ran, what it armed, and that
// every step began exactly the armed interval after the step before it
// ended, in virtual time.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "engraver/engraver_link.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "removal/driver_files.h"
#include "sim/inf_folder.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"
#include "sim/system_programs.h"
#include "wizard/install_app.h"
#include "wizard/resource.h"
#include "wizard/subsystem_operations.h"
#include "wizard/tests/expected_texts.h"
#include "wizard/tests/wizard_harness.h"
#include "wizard/traced_operations.h"

namespace tw::wizard {
namespace {

using platform::ToUtf8;
using sim::Millis;

constexpr std::u16string_view kRoot = u"C:\\Pkg";
constexpr std::u16string_view kDriverFolder = u"C:\\Windows\\System32\\spool\\drivers\\W32X86\\3";

std::string English(TextEntry entry) {
    return ToUtf8(kEnglish[entry]);
}

// The package's INF, in UTF-16, naming the driver model.
std::vector<std::uint8_t> PackageInf() {
    return sim::EncodeInfText(
        "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
        "[Strings]\r\nModel=\"Tarn-Well\"\r\n",
        sim::InfEncoding::Utf16);
}

std::vector<std::uint8_t> FirmwareTable() {
    std::vector<std::uint8_t> bytes(5000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    return bytes;
}

// A machine with the package at C:\Pkg, the system's programs, the engraver
// on USB (connected and switched on) and a user in front of the wizard.
class WholeRun {
  public:
    WholeRun() {
        sim::AddNetExe(machine, 300);
        sim::AddXcopy(machine);
        machine.files.addTextFile(sim::JoinPath(kRoot, u"setup.exe"), "MZ setup");
        machine.files.addFile(installPath(), {'M', 'Z'});
        machine.resources.set(installPath(), sim::InstallResources());
        machine.processes.addSimpleProgram(sim::JoinPath(kRoot, u"Systems\\Config.exe"), 40);
        machine.files.addFile(sim::JoinPath(kRoot, u"kelvra.inf"), PackageInf());
        machine.files.addFile(sim::JoinPath(kRoot, engraver::kFirmwareTableName), FirmwareTable());
        engraver = &machine.usb.addEngraver();
    }

    std::u16string installPath() const { return sim::JoinPath(kRoot, u"Systems\\Install.exe"); }

    // The user does what the labels ask, after the time it takes.
    void userReacts() {
        machine.user.reactTo(kEnglish[TextSwitchOff], 2500, "switches the engraver off",
                             [this] { machine.usb.switchOff(*engraver); });
        machine.user.reactTo(kEnglish[TextConnect], 4000,
                             "connects the engraver and switches it on",
                             [this] { machine.usb.switchOn(*engraver); });
        machine.user.reactTo(kEnglish[TextSwitchOn], 1500, "switches the engraver on",
                             [this] { machine.usb.switchOn(*engraver); });
    }

    void run(std::u16string_view commandLine = u"") {
        sim::SimPlatform install(machine, installPath(), std::u16string(kRoot));
        SubsystemOperations real(install.platform());
        TracedOperations operations(real,
                                    [this](const std::string& text) { machine.trace.step(text); });
        CInstallApp app(install.platform(), operations, commandLine);
        app.InitInstance();
    }

    const sim::DialogWindow& dialog() const { return *machine.dialogs.last(); }
    std::string label(int n) const { return ToUtf8(dialog().control(kLabelIds[n - 1])->text); }

    // The run, one line per step: what started it ("click Next", or
    // "tick +N" with N the time since the timer was armed), the operations
    // it ran, and how it ended ("timer N", "closed OK", "waits").
    std::vector<std::string> steps() const {
        std::vector<std::string> out;
        std::string current;
        Millis armedAt = 0;
        auto finish = [&](const std::string& end) {
            if (!current.empty()) {
                out.push_back(current + " -> " + end);
                current.clear();
            }
        };
        for (const sim::TraceEntry& entry : machine.trace.entries()) {
            const std::string& text = entry.text;
            if (entry.kind == sim::TraceKind::Call && text == "WM_TIMER 1") {
                finish("waits");
                current = "tick +" + std::to_string(entry.at - armedAt) + ":";
            } else if (entry.kind == sim::TraceKind::Screen &&
                       text == "user clicks control " + std::to_string(IDC_NEXT)) {
                finish("waits");
                current = "click Next:";
            } else if (entry.kind == sim::TraceKind::Step) {
                current += (current.back() == ':' ? " " : ", ") + text;
            } else if (entry.kind == sim::TraceKind::Call && text.rfind("SetTimer(1, ", 0) == 0) {
                armedAt = entry.at;
                if (current.empty()) {
                    current = "start:";
                }
                finish("timer " + text.substr(12, text.find(')') - 12));
            } else if (entry.kind == sim::TraceKind::Screen &&
                       text.rfind("dialog 102 closes", 0) == 0) {
                finish(text.find("result 1)") != std::string::npos ? "closed OK" : "closed Cancel");
            }
        }
        finish("waits");
        return out;
    }

    sim::SimMachine machine;
    sim::UsbPrinterInterface* engraver = nullptr;
};

// The operations of the removal step, as the step line lists them; the Other
// path leaves out the device key.
const std::string kUsbRemoval =
    "RemovePrinterQueues, RemoveDriverFiles: true, RemoveDriverPackages, RemovePrinterDriver, "
    "RemoveDeviceKey";
const std::string kOtherRemoval =
    "RemovePrinterQueues, RemoveDriverFiles: true, RemoveDriverPackages, RemovePrinterDriver";

// The steps of the USB path up to the wait for the engraver at step 4, with
// the engraver on at the first click (seen as `present`) and switched off
// 2.5 s after label 1 asks for it, followed by `rest`.
std::vector<std::string> UsbUpToStep4And(std::vector<std::string> rest,
                                         const std::string& present = "present") {
    std::vector<std::string> steps = {
        "click Next: OpenEngraver: " + present + " -> timer 1000",
        "tick +1000: OpenEngraver: " + present + " -> timer 1000",
        "tick +1000: OpenEngraver: " + present + " -> timer 1000",
        "tick +1000: OpenEngraver: absent -> timer 1000",
        "tick +1000: " + kUsbRemoval + " -> timer 500",
        "tick +500: InstallDriverPackage -> timer 500",
        "tick +500: OpenEngraver: absent -> timer 6000",
    };
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

struct WholeRunCase {
    const char* name;
    std::function<void(WholeRun&)> arrange;  // the machine and the user, before the run
    std::u16string commandLine;
    std::vector<std::string> steps;
    std::function<void(const WholeRun&)> check;  // what the run left behind
};

void PrintTo(const WholeRunCase& c, std::ostream* os) {
    *os << c.name;
}

class WholeRuns : public ::testing::TestWithParam<WholeRunCase> {};

TEST_P(WholeRuns, RunStepByStepWithTheRealOperations) {
    const WholeRunCase& c = GetParam();
    WholeRun run;
    c.arrange(run);
    run.run(c.commandLine);
    SCOPED_TRACE(run.machine.trace.format(false));
    EXPECT_EQ(run.steps(), c.steps);
    c.check(run);
    EXPECT_TRUE(run.machine.handles.stillOpen().empty());
    EXPECT_EQ(run.machine.memory.outstanding(), 0u);
}

// The user clicks Next a second after the dialog opens, after choosing
// Other half a second after it opens when `other`.
void ClicksNext(WholeRun& run, bool other = false) {
    Millis now = run.machine.clock.now();
    if (other) {
        run.machine.user.clickAt(now + 500, IDC_OTHER);
    }
    run.machine.user.clickAt(now + 1000, IDC_NEXT);
}

// A driver file that another program holds open: it cannot be deleted.
void DriverFileInUse(WholeRun& run) {
    run.machine.files.addTextFile(sim::JoinPath(kDriverFolder, removal::kDriverFiles[0]), "driver")
        .inUse = true;
}

// The driver-file fallback took over: the package went to the temporary
// folder, nothing was installed.
void FallbackTookOver(const WholeRun& run) {
    EXPECT_TRUE(run.machine.files.isFile(
        u"C:\\Users\\operator\\AppData\\Local\\Temp\\package Tarnwell\\kelvra.inf"));
    EXPECT_EQ(run.machine.restartPrompt.shown.size(), 1u);
    EXPECT_TRUE(run.machine.driverStore.packages().empty());
    EXPECT_TRUE(run.machine.spooler.queues().empty());
}

const WholeRunCase kWholeRuns[] = {
    {"UsbEngraverOnAtTheFirstClick",
     [](WholeRun& run) {
         run.userReacts();
         ClicksNext(run);
     },
     u"",
     UsbUpToStep4And({
         "tick +6000: OpenEngraver: present -> timer 6000",
         "tick +6000: SendFirmwareTable -> timer 35000",
         "tick +35000: QueryEngraverStatus: 0 -> timer 1000",
         "tick +1000: OpenEngraver: present -> timer 1000",
         "tick +1000: OpenEngraver: present -> timer 1000",
         "tick +1000: OpenEngraver: absent -> timer 1000",
         "tick +1000: OpenEngraver: absent -> timer 1000",
         "tick +1000: OpenEngraver: absent -> timer 1000",
         "tick +1000: OpenEngraver: present -> closed OK",
     }),
     [](const WholeRun& run) {
         EXPECT_EQ(run.label(1), English(TextSwitchOff));
         EXPECT_EQ(run.label(5), English(TextFirmwareUpdate));
         EXPECT_EQ(run.label(6), English(TextSwitchOff));
         EXPECT_EQ(run.label(7), English(TextSwitchOn));
         EXPECT_EQ(run.machine.driverStore.packages().size(), 1u);
         EXPECT_EQ(run.engraver->engraver->received(), FirmwareTable());
         EXPECT_TRUE(run.machine.desktop.messageBoxes().empty());
         EXPECT_EQ(run.machine.clock.pendingEvents(), 0u);
     }},

    {"UsbMakerTagEndsAtStep4WithoutFirmware",
     [](WholeRun& run) {
         run.engraver->path = sim::EngraverInterfacePath(true);
         run.userReacts();
         ClicksNext(run);
     },
     u"", UsbUpToStep4And({"tick +6000: OpenEngraver: present, tag -> closed OK"}, "present, tag"),
     [](const WholeRun& run) {
         EXPECT_EQ(run.label(4), English(TextConnect));
         EXPECT_TRUE(run.engraver->engraver->received().empty());
     }},

    {"UsbNonzeroStatusEndsAtStep6",
     [](WholeRun& run) {
         run.engraver->engraver->status = 3;
         run.userReacts();
         ClicksNext(run);
     },
     u"",
     UsbUpToStep4And({
         "tick +6000: OpenEngraver: present -> timer 6000",
         "tick +6000: SendFirmwareTable -> timer 35000",
         "tick +35000: QueryEngraverStatus: 3 -> closed OK",
     }),
     [](const WholeRun& run) {
         EXPECT_EQ(run.label(5), English(TextFirmwareUpdate));
         EXPECT_EQ(run.label(6), "");
     }},

    {"UsbCancelWhileWaitingForTheEngraver",
     [](WholeRun& run) {
         run.machine.user.reactTo(kEnglish[TextSwitchOff], 2500, "switches the engraver off",
                                  [&run] { run.machine.usb.switchOff(*run.engraver); });
         run.machine.user.clickWhenShown(kEnglish[TextConnect], 9000, win::kIdCancel);
         ClicksNext(run);
     },
     u"", UsbUpToStep4And({"tick +6000: OpenEngraver: absent -> timer 6000"}),
     [](const WholeRun& run) {
         EXPECT_EQ(run.dialog().result(), win::kIdCancel);
         EXPECT_EQ(run.machine.clock.pendingEvents(), 0u);
     }},

    {"UsbDriverFileFallbackEndsAfterTheDeletingText",
     [](WholeRun& run) {
         DriverFileInUse(run);
         run.machine.usb.switchOff(*run.engraver);
         ClicksNext(run);
     },
     u"",
     {
         "click Next: OpenEngraver: absent -> timer 1000",
         "tick +1000: RemovePrinterQueues, RemoveDriverFiles: false -> closed OK",
     },
     [](const WholeRun& run) {
         EXPECT_EQ(run.label(2), English(TextDeleting));
         FallbackTookOver(run);
     }},

    {"OtherWholeRun",
     [](WholeRun& run) {
         run.machine.user.clickWhenShown(kEnglish[TextClickNext], 5000, IDC_NEXT);
         ClicksNext(run, true);
     },
     u"",
     {
         "click Next: " + kOtherRemoval + ", InstallPrinterOnPort: true -> waits",
         "click Next: OpenPrinterProperties -> timer 3000",
         "tick +3000: -> closed OK",
     },
     [](const WholeRun& run) {
         EXPECT_EQ(run.label(1), English(TextDeleting));
         EXPECT_EQ(run.label(2), English(TextDriverInstallation));
         EXPECT_EQ(run.label(3), English(TextClickNext));
         ASSERT_EQ(run.machine.spooler.queues().size(), 1u);
         EXPECT_EQ(ToUtf8(run.machine.spooler.queues()[0]->portName), "LPT1:");
         ASSERT_EQ(run.machine.printerSetup.windows().size(), 1u);
         EXPECT_TRUE(run.machine.printerSetup.windows()[0].printerFound);
     }},

    {"OtherWithoutAPortEndsAfterItsMessage",
     [](WholeRun& run) {
         run.machine.ports.names = {u"USB001"};
         ClicksNext(run, true);
     },
     u"",
     {
         "click Next: " + kOtherRemoval + ", InstallPrinterOnPort: false -> closed OK",
     },
     [](const WholeRun& run) {
         EXPECT_EQ(run.label(2), English(TextDriverInstallation));
         EXPECT_EQ(ToUtf8(run.machine.desktop.messageTexts().at(0)), "No port exists");
         EXPECT_TRUE(run.machine.spooler.queues().empty());
     }},

    {"OtherDriverFileFallbackEndsAfterTheDeletingText",
     [](WholeRun& run) {
         DriverFileInUse(run);
         ClicksNext(run, true);
     },
     u"",
     {"click Next: RemovePrinterQueues, RemoveDriverFiles: false -> closed OK"},
     [](const WholeRun& run) {
         EXPECT_EQ(run.label(1), English(TextDeleting));
         EXPECT_EQ(run.label(2), "");
         FallbackTookOver(run);
     }},

    {"SilentRemovesAndInstallsThePackageOnly",
     [](WholeRun& /*run*/) {},
     u"silent",
     {
         "start: -> timer 500",
         "tick +500: " + kUsbRemoval + " -> timer 500",
         "tick +500: InstallDriverPackage -> closed OK",
     },
     [](const WholeRun& run) {
         EXPECT_EQ(run.machine.driverStore.packages().size(), 1u);
         EXPECT_EQ(run.engraver->linksOpened, 0u);
         EXPECT_EQ(run.label(1), "");
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, WholeRuns, ::testing::ValuesIn(kWholeRuns),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace tw::wizard
