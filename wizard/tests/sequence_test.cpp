// The installation sequence on the simulated machine with scripted
// operations: whole runs of both paths and of the silent start, checked
// step by step against the transitions and intervals of the sequence, with
// the user clicking and reacting to what the labels ask.
#include <gtest/gtest.h>

#include <functional>

#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "wizard/resource.h"
#include "wizard/tests/expected_texts.h"
#include "wizard/tests/wizard_harness.h"

namespace tw::wizard {
namespace {

using platform::ToUtf8;

std::string English(TextEntry entry) {
    return ToUtf8(kEnglish[entry]);
}

// The user of these runs: clicks Next a second after the dialog opens (after
// choosing Other at half a second, on that path), and does what the labels
// ask after the delays set here (0: does not react).
struct UserHabits {
    std::u16string commandLine;  // "silent" for the unattended run
    bool other = false;
    sim::Millis switchesOffAfter = 2500;
    sim::Millis connectsAfter = 4000;
    sim::Millis switchesOnAfter = 1500;
    sim::Millis clicksNextAfter = 0;  // when label 3 asks for Next (Other path)
    std::vector<std::pair<sim::Millis, std::int32_t>> clicks;  // further clicks
};

void Arrange(WizardHarness& wizard, const UserHabits& user) {
    ScriptedOperations& operations = wizard.operations;
    sim::SimUser& person = wizard.machine.user;
    if (user.switchesOffAfter != 0) {
        person.reactTo(kEnglish[TextSwitchOff], user.switchesOffAfter, "switches the engraver off",
                       [&operations] { operations.engraverPresent = false; });
    }
    if (user.connectsAfter != 0) {
        person.reactTo(kEnglish[TextConnect], user.connectsAfter,
                       "connects the engraver and switches it on",
                       [&operations] { operations.engraverPresent = true; });
    }
    if (user.switchesOnAfter != 0) {
        person.reactTo(kEnglish[TextSwitchOn], user.switchesOnAfter, "switches the engraver on",
                       [&operations] { operations.engraverPresent = true; });
    }
    if (user.clicksNextAfter != 0) {
        person.clickWhenShown(kEnglish[TextClickNext], user.clicksNextAfter, IDC_NEXT);
    }
    if (user.commandLine.empty()) {
        if (user.other) {
            person.clickAt(wizard.at(500), IDC_OTHER);
        }
        person.clickAt(wizard.at(1000), IDC_NEXT);
    }
    for (const auto& [offset, control] : user.clicks) {
        person.clickAt(wizard.at(offset), control);
    }
}

struct SequenceCase {
    const char* name;
    UserHabits user;
    std::function<void(ScriptedOperations&)> scenario;
    std::vector<std::string> timeline;
    // The seven labels when the dialog closed (English entries; -1: empty).
    std::array<int, 7> labels;
    std::string greyed;
};

void PrintTo(const SequenceCase& c, std::ostream* os) {
    *os << c.name;
}

class Sequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(Sequence, RunsTheStepsAtTheirTimes) {
    const SequenceCase& c = GetParam();
    WizardHarness wizard;
    if (c.scenario) {
        c.scenario(wizard.operations);
    }
    Arrange(wizard, c.user);
    wizard.run(c.user.commandLine);
    SCOPED_TRACE(wizard.machine.trace.format(false));

    EXPECT_EQ(wizard.timeline(), c.timeline);
    for (std::size_t label = 0; label < 7; ++label) {
        std::string expected = c.labels[label] < 0 ? "" : English(TextEntry(c.labels[label]));
        EXPECT_EQ(ToUtf8(wizard.labels()[label]), expected) << "label " << label + 1;
    }
    EXPECT_EQ(wizard.greyedLabels(), c.greyed);
    // Nothing is left behind: no device link or process handle open, no
    // timer or click waiting in the machine's queue.
    EXPECT_TRUE(wizard.machine.handles.stillOpen().empty());
    EXPECT_EQ(wizard.machine.clock.pendingEvents(), 0u);
}

constexpr int kNone = -1;

// Step 1 at the click on Next, a second after the dialog opened, finding no
// engraver.
const std::vector<std::string> kUsbFirstClickAbsent = {
    "+  1000 click Next",
    "+  1000 OpenEngraver: absent",
    "+  1000 timer 1000",
};

// Steps 2 to 4 of the USB path from `offset` on, the engraver absent: the
// removal, the driver package half a second later, and the first check for
// the engraver half a second after that.
std::vector<std::string> UsbStepsTwoToFourAt(std::int64_t offset) {
    return Joined({UsbRemovalAt(offset),
                   {TimelineLine(offset + 500, "InstallDriverPackage"),
                    TimelineLine(offset + 500, "timer 500"),
                    TimelineLine(offset + 1000, "OpenEngraver: absent"),
                    TimelineLine(offset + 1000, "timer 6000")}});
}

// The USB path with the engraver absent at the first click, up to the wait
// for it at step 4 (armed at 3000), followed by `rest`.
std::vector<std::string> UsbUpToStep4And(const std::vector<std::string>& rest) {
    return Joined({kUsbFirstClickAbsent, UsbStepsTwoToFourAt(2000), rest});
}

// ... and on: the engraver found at 9000, its firmware sent at 15000 and its
// status (`status`) read at 50000, followed by `rest`.
std::vector<std::string> UsbUpToStatusAnd(int status, const std::vector<std::string>& rest) {
    return UsbUpToStep4And(
        Joined({{
                    "+  9000 OpenEngraver: present",
                    "+  9000 timer 6000",
                    "+ 15000 SendFirmwareTable",
                    "+ 15000 timer 35000",
                    TimelineLine(50000, "QueryEngraverStatus: " + std::to_string(status)),
                },
                rest}));
}

// The Other path: Other chosen at 500, Next at 1000, the removal and the
// printer on its port (`installed` or not), followed by `rest`.
std::vector<std::string> OtherUpToThePrinterAnd(bool installed,
                                                const std::vector<std::string>& rest) {
    return Joined({{
                       "+   500 click Other",
                       "+  1000 click Next",
                       "+  1000 RemovePrinterQueues",
                       "+  1000 RemoveDriverFiles: true",
                       "+  1000 RemoveDriverPackages",
                       "+  1000 RemovePrinterDriver",
                       installed ? "+  1000 InstallPrinterOnPort: true"
                                 : "+  1000 InstallPrinterOnPort: false",
                   },
                   rest});
}

const SequenceCase kSequences[] = {
    {"UsbWholeRunEngraverAbsentAtFirstClick",
     {},
     nullptr,
     UsbUpToStatusAnd(0,
                      {
                          "+ 50000 timer 1000",
                          "+ 51000 OpenEngraver: present",
                          "+ 51000 timer 1000",
                          "+ 52000 OpenEngraver: present",
                          "+ 52000 timer 1000",
                          "+ 53000 OpenEngraver: absent",
                          "+ 53000 timer 1000",
                          "+ 54000 OpenEngraver: absent",
                          "+ 54000 timer 1000",
                          "+ 55000 OpenEngraver: absent",
                          "+ 55000 timer 1000",
                          "+ 56000 OpenEngraver: present",
                          "+ 56000 closed OK",
                      }),
     {kNone, TextDeleting, TextInitializing, TextConnect, TextFirmwareUpdate, TextSwitchOff,
      TextSwitchOn},
     "1 2 3 4 5 6"},

    {"UsbEngraverPresentAtFirstClickThenCancelWhileWaiting",
     {.connectsAfter = 0, .clicks = {{10000, win::kIdCancel}}},
     [](ScriptedOperations& operations) { operations.engraverPresent = true; },
     Joined({{
                 "+  1000 click Next",
                 "+  1000 OpenEngraver: present",
                 "+  1000 timer 1000",
                 "+  2000 OpenEngraver: present",
                 "+  2000 timer 1000",
                 "+  3000 OpenEngraver: present",
                 "+  3000 timer 1000",
                 "+  4000 OpenEngraver: absent",
                 "+  4000 timer 1000",
             },
             UsbStepsTwoToFourAt(5000),
             {
                 "+ 10000 click Cancel",
                 "+ 10000 closed Cancel",
             }}),
     {TextSwitchOff, TextDeleting, TextInitializing, TextConnect, kNone, kNone, kNone},
     "1 2 3"},

    {"UsbDriverFileFallbackClosesAfterTheDeletingText",
     {},
     [](ScriptedOperations& operations) { operations.driverFilesRemoved = false; },
     Joined({kUsbFirstClickAbsent,
             {
                 "+  2000 RemovePrinterQueues",
                 "+  2000 RemoveDriverFiles: false",
                 "+  2000 closed OK",
             }}),
     {kNone, TextDeleting, kNone, kNone, kNone, kNone, kNone},
     "1"},

    {"UsbMakerTagClosesAtStep4WithoutFirmware",
     {},
     [](ScriptedOperations& operations) { operations.makerTag = true; },
     UsbUpToStep4And({
         "+  9000 OpenEngraver: present, tag",
         "+  9000 closed OK",
     }),
     {kNone, TextDeleting, TextInitializing, TextConnect, kNone, kNone, kNone},
     "1 2 3"},

    {"UsbNonzeroStatusClosesAtStep6",
     {},
     [](ScriptedOperations& operations) { operations.status = 3; },
     UsbUpToStatusAnd(3, {"+ 50000 closed OK"}),
     {kNone, TextDeleting, TextInitializing, TextConnect, TextFirmwareUpdate, kNone, kNone},
     "1 2 3 4 5"},

    {"UsbClickDuringABusyStepWaitsForTheStepsEnd",
     {.clicks = {{5000, win::kIdCancel}}},
     [](ScriptedOperations& operations) { operations.takes["RemoveDriverFiles"] = 12000; },
     Joined({kUsbFirstClickAbsent,
             {
                 "+  2000 RemovePrinterQueues",
                 "+  2000 RemoveDriverFiles: true",
                 "+  5000 click Cancel",
                 "+ 14000 RemoveDriverPackages",
                 "+ 14000 RemovePrinterDriver",
                 "+ 14000 RemoveDeviceKey",
                 "+ 14000 timer 500",
                 "+ 14000 closed Cancel",
             }}),
     {kNone, TextDeleting, kNone, kNone, kNone, kNone, kNone},
     "1"},

    {"OtherDriverFileFallbackClosesAfterTheDeletingText",
     {.other = true},
     [](ScriptedOperations& operations) { operations.driverFilesRemoved = false; },
     {
         "+   500 click Other",
         "+  1000 click Next",
         "+  1000 RemovePrinterQueues",
         "+  1000 RemoveDriverFiles: false",
         "+  1000 closed OK",
     },
     {TextDeleting, kNone, kNone, kNone, kNone, kNone, kNone},
     ""},

    {"OtherNoPortClosesAfterItsMessage",
     {.other = true},
     [](ScriptedOperations& operations) { operations.portFound = false; },
     OtherUpToThePrinterAnd(false,
                            {
                                "+  1000 message \"No port exists\"",
                                "+  1000 closed OK",
                            }),
     {TextDeleting, TextDriverInstallation, kNone, kNone, kNone, kNone, kNone},
     "1"},

    {"OtherWholeRunWaitsForNextThenClosesAfterTheProperties",
     {.other = true, .clicksNextAfter = 5000},
     nullptr,
     OtherUpToThePrinterAnd(true,
                            {
                                "+  6000 click Next",
                                "+  6000 OpenPrinterProperties",
                                "+  6000 timer 3000",
                                "+  9000 closed OK",
                            }),
     {TextDeleting, TextDriverInstallation, TextClickNext, kNone, kNone, kNone, kNone},
     "1 2"},

    {"OtherNextDuringThePropertiesWaitClosesAtOnce",
     {.other = true, .clicksNextAfter = 5000, .clicks = {{7000, IDC_NEXT}}},
     nullptr,
     OtherUpToThePrinterAnd(true,
                            {
                                "+  6000 click Next",
                                "+  6000 OpenPrinterProperties",
                                "+  6000 timer 3000",
                                "+  7000 click Next",
                                "+  7000 closed OK",
                            }),
     {TextDeleting, TextDriverInstallation, TextClickNext, kNone, kNone, kNone, kNone},
     "1 2"},

    {"OtherPropertiesThatFailedToStartStillClose",
     {.other = true, .clicksNextAfter = 5000},
     [](ScriptedOperations& operations) { operations.propertiesProcessStarts = false; },
     OtherUpToThePrinterAnd(true,
                            {
                                "+  6000 click Next",
                                "+  6000 OpenPrinterProperties: fails",
                                "+  6000 timer 3000",
                                "+  9000 closed OK",
                            }),
     {TextDeleting, TextDriverInstallation, TextClickNext, kNone, kNone, kNone, kNone},
     "1 2"},

    {"SilentRemovesInstallsAndCloses",
     {.commandLine = u"silent", .clicks = {{200, IDC_NEXT}}},
     [](ScriptedOperations& operations) { operations.engraverPresent = true; },
     Joined({{"+     0 timer 500", "+   200 click Next", "+   200 click ignored"},
             UsbRemovalAt(500),
             {"+  1000 InstallDriverPackage", "+  1000 closed OK"}}),
     {kNone, TextDeleting, TextInitializing, kNone, kNone, kNone, kNone},
     "1 2"},

    {"SilentClosesEvenWhenTheDriverPackageFails",
     {.commandLine = u"SILENT"},
     [](ScriptedOperations& operations) { operations.driverPackageFails = true; },
     Joined({{"+     0 timer 500"},
             UsbRemovalAt(500),
             {
                 "+  1000 InstallDriverPackage: fails",
                 "+  1000 message \"SetupCopyOEMInf error = 2\"",
                 "+  1000 closed OK",
             }}),
     {kNone, TextDeleting, TextInitializing, kNone, kNone, kNone, kNone},
     "1 2"},

    {"SilentDriverFileFallback",
     {.commandLine = u"silent"},
     [](ScriptedOperations& operations) { operations.driverFilesRemoved = false; },
     {
         "+     0 timer 500",
         "+   500 RemovePrinterQueues",
         "+   500 RemoveDriverFiles: false",
         "+   500 closed OK",
     },
     {kNone, TextDeleting, kNone, kNone, kNone, kNone, kNone},
     "1"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Sequence, ::testing::ValuesIn(kSequences),
                         [](const auto& param) { return std::string(param.param.name); });

// A message box of an operation is modal to the dialog: a click meanwhile is
// lost, and the sequence goes on when the user has read the message.
TEST(SequenceMessageBox, AClickWhileAMessageIsOpenIsLost) {
    WizardHarness wizard;
    wizard.operations.portFound = false;
    wizard.machine.desktop.messageBoxReadTime = 3000;
    Arrange(wizard, {.other = true, .clicks = {{2000, win::kIdCancel}}});
    wizard.run();
    EXPECT_EQ(wizard.timeline(),
              OtherUpToThePrinterAnd(false, {
                                                "+  1000 message \"No port exists\"",
                                                "+  2000 click Cancel (lost)",
                                                "+  4000 closed OK",
                                            }));
    const sim::MessageBoxRecord& box = wizard.machine.desktop.messageBoxes().at(0);
    EXPECT_EQ(ToUtf8(box.caption), "Install");
    EXPECT_EQ(box.owner, sim::kSimDialogWindow);
    EXPECT_EQ(box.type, win::kMbOk);
}

// The USB path keeps the port choice and Next disabled once it started; the
// Other path enables Next again when it waits for the second click.
TEST(SequenceControls, ThePortChoiceStaysFixedOnceTheSequenceStarted) {
    WizardHarness usb;
    Arrange(usb, {.connectsAfter = 0,
                  .clicks = {{3500, IDC_OTHER}, {3600, IDC_NEXT}, {4000, win::kIdCancel}}});
    usb.run();
    EXPECT_FALSE(usb.enabled(IDC_USB));
    EXPECT_FALSE(usb.enabled(IDC_OTHER));
    EXPECT_FALSE(usb.enabled(IDC_NEXT));
    EXPECT_TRUE(usb.checked(IDC_USB));
    EXPECT_EQ(usb.machine.trace.matching("does nothing").size(), 2u);

    WizardHarness other;
    Arrange(other, {.other = true, .clicks = {{3000, IDC_USB}, {4000, win::kIdCancel}}});
    other.run();
    EXPECT_FALSE(other.enabled(IDC_USB));
    EXPECT_FALSE(other.enabled(IDC_OTHER));
    EXPECT_TRUE(other.enabled(IDC_NEXT));
    EXPECT_TRUE(other.checked(IDC_OTHER));
}

// OnNext with a step that is not on the current path does nothing at all:
// no operation, no window service, no timer.
struct OffPathCase {
    std::int32_t portType;
    std::int32_t step;
};

class OffPath : public ::testing::TestWithParam<OffPathCase> {};

TEST_P(OffPath, OnNextDoesNothingAtAll) {
    const OffPathCase& c = GetParam();
    WizardHarness wizard;
    CInstallDlg dlg(wizard.install.platform(), wizard.operations, u"");
    dlg.m_portType = c.portType;
    dlg.m_step = c.step;
    std::size_t before = wizard.machine.trace.entries().size();
    dlg.OnNext();
    EXPECT_EQ(wizard.machine.trace.entries().size(), before);
    EXPECT_TRUE(wizard.operations.calls.empty());
    EXPECT_EQ(dlg.m_step, c.step);
}

INSTANTIATE_TEST_SUITE_P(Cases, OffPath,
                         ::testing::Values(OffPathCase{0, 2}, OffPathCase{0, 0}, OffPathCase{0, 5},
                                           OffPathCase{0, -1}, OffPathCase{1, 0}, OffPathCase{1, 9},
                                           OffPathCase{2, 9}, OffPathCase{-1, -7}));

// The step timer ticks only while no step runs and is one-shot: a tick that
// is not the step timer's is ignored.
TEST(StepTimer, AnotherTimerIdIsIgnored) {
    WizardHarness wizard;
    CInstallDlg dlg(wizard.install.platform(), wizard.operations, u"");
    dlg.m_portType = 1;
    dlg.m_step = 1;
    std::size_t before = wizard.machine.trace.entries().size();
    dlg.OnTimer(2);
    EXPECT_EQ(wizard.machine.trace.entries().size(), before);
    EXPECT_TRUE(wizard.operations.calls.empty());
}

}  // namespace
}  // namespace tw::wizard
