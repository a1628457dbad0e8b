// The wizard's start-up: command line, language, caption, port choice, icon,
// and the state the dialog opens in, interactive and silent.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>

#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "wizard/resource.h"
#include "wizard/tests/expected_texts.h"
#include "wizard/tests/wizard_harness.h"

namespace tw::wizard {
namespace {

using platform::ToUtf8;

// The dialog as the user first sees it, with the fields behind it.
struct OpenState {
    std::u16string caption;
    std::vector<sim::ControlState> controls;
    std::optional<std::int32_t> focus;
    std::optional<std::uint32_t> stepTimer;
    std::int32_t silent = -1;
    std::int32_t step = -1;
    std::int32_t portType = -1;
    std::array<CString, kTextCount> text;

    const sim::ControlState& control(std::int32_t id) const {
        for (const sim::ControlState& state : controls) {
            if (state.control.id == id) {
                return state;
            }
        }
        throw std::out_of_range("no control " + std::to_string(id));
    }
};

// Records the dialog's state at the moment it opens (before any timer or
// click reaches it).
std::shared_ptr<OpenState> CaptureAtOpen(WizardHarness& wizard) {
    auto state = std::make_shared<OpenState>();
    wizard.machine.clock.schedule(wizard.machine.clock.now(), "look", [&wizard, state] {
        const sim::DialogWindow* dialog = wizard.machine.dialogs.last();
        const CInstallDlg* dlg = wizard.app->m_pMainWnd;
        if (dialog == nullptr || dlg == nullptr) {
            return;
        }
        state->caption = dialog->caption();
        state->controls = dialog->controls();
        state->focus = dialog->focus();
        state->stepTimer = dialog->timerInterval(CInstallDlg::kStepTimer);
        state->silent = dlg->m_silent;
        state->step = dlg->m_step;
        state->portType = dlg->m_portType;
        state->text = dlg->m_text;
    });
    return state;
}

// Runs the wizard with `commandLine` until the user clicks Cancel
// `cancelAfter` ms after the dialog opened; returns the dialog's state at its
// opening.
std::shared_ptr<OpenState> OpenThenCancel(WizardHarness& wizard,
                                          std::u16string_view commandLine = u"",
                                          sim::Millis cancelAfter = 0) {
    auto open = CaptureAtOpen(wizard);
    wizard.machine.user.clickAt(wizard.at(cancelAfter), win::kIdCancel);
    wizard.run(commandLine);
    return open;
}

// --- Command line ------------------------------------------------------------

struct CommandLineCase {
    const char* name;
    std::u16string commandLine;
    bool silent;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, PicksTheInteractiveOrTheSilentStart) {
    const CommandLineCase& c = GetParam();
    WizardHarness wizard;
    auto open = OpenThenCancel(wizard, c.commandLine, 100);
    SCOPED_TRACE(wizard.machine.trace.format());

    EXPECT_EQ(open->silent, c.silent ? 1 : 0);
    EXPECT_EQ(open->step, c.silent ? 2 : 1);
    EXPECT_EQ(open->portType, 1);
    EXPECT_TRUE(open->control(IDC_USB).checked);
    EXPECT_FALSE(open->control(IDC_OTHER).checked);
    for (std::int32_t label : kLabelIds) {
        EXPECT_EQ(ToUtf8(open->control(label).text), "") << "label " << label;
        EXPECT_TRUE(open->control(label).enabled) << "label " << label;
    }
    for (std::int32_t id : {IDC_USB, IDC_OTHER, IDC_NEXT, win::kIdCancel}) {
        EXPECT_EQ(open->control(id).enabled, !c.silent) << "control " << id;
    }
    if (c.silent) {
        // Nothing accepts a click; the first step runs 500 ms after opening.
        EXPECT_EQ(open->stepTimer, std::optional<std::uint32_t>(500));
        EXPECT_EQ(open->focus, std::nullopt);
        EXPECT_EQ(wizard.timeline(),
                  Joined({{"+     0 timer 500", "+   100 click Cancel", "+   100 click ignored"},
                          UsbRemovalAt(500),
                          {"+  1000 InstallDriverPackage", "+  1000 closed OK"}}));
    } else {
        EXPECT_EQ(open->stepTimer, std::nullopt);
        EXPECT_EQ(open->focus, std::optional<std::int32_t>(win::kIdCancel));
        std::vector<std::string> expected = {"+   100 click Cancel", "+   100 closed Cancel"};
        EXPECT_EQ(wizard.timeline(), expected);
    }
}

const CommandLineCase kCommandLines[] = {
    {"Lower", u"silent", true},
    {"Capitals", u"SILENT", true},
    {"FirstCapital", u"Silent", true},
    {"Mixed", u"sIlEnT", true},
    {"TrailingBlank", u"silent ", false},
    {"Slash", u"/silent", false},
    {"FurtherArgument", u"silent x", false},
    {"Empty", u"", false},
    {"OtherWord", u"silence", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, ::testing::ValuesIn(kCommandLines),
                         [](const auto& param) { return std::string(param.param.name); });

// --- Language and texts -------------------------------------------------------------

// The French texts on a system whose ANSI code page is Cyrillic (1251): the
// literals' bytes 0xE9 and 0xE0 widen to the letters of that code page.
std::array<std::u16string, kTextCount> FrenchIn1251() {
    std::array<std::u16string, kTextCount> texts = kFrench;
    for (std::u16string& text : texts) {
        for (char16_t& unit : text) {
            if (unit == u'\u00E9') {
                unit = u'\u0439';
            } else if (unit == u'\u00E0') {
                unit = u'\u0430';
            }
        }
    }
    return texts;
}

struct LanguageCase {
    const char* name;
    std::uint16_t langId;
    std::uint32_t codePage;
    std::array<std::u16string, kTextCount> texts;
};

void PrintTo(const LanguageCase& c, std::ostream* os) {
    *os << c.name;
}

class Language : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(Language, FillsTheTextTableAndTheControlsFromTheSystemLanguage) {
    const LanguageCase& c = GetParam();
    WizardHarness wizard;
    wizard.machine.locale.defaultLangId = c.langId;
    wizard.machine.locale.ansiCodePage = c.codePage;
    auto open = OpenThenCancel(wizard);

    for (std::size_t entry = 0; entry < kTextCount; ++entry) {
        EXPECT_EQ(ToUtf8(open->text[entry]), ToUtf8(c.texts[entry])) << "entry " << entry;
    }
    EXPECT_EQ(ToUtf8(open->control(IDC_NEXT).text), ToUtf8(c.texts[TextNext]));
    EXPECT_EQ(ToUtf8(open->control(win::kIdCancel).text), ToUtf8(c.texts[TextCancel]));
    EXPECT_EQ(ToUtf8(open->control(IDC_OTHER).text), ToUtf8(c.texts[TextOther]));
    EXPECT_EQ(ToUtf8(open->control(IDC_PORT_GROUP).text), ToUtf8(c.texts[TextSelectPortType]));
    EXPECT_EQ(ToUtf8(open->control(IDC_USB).text), "USB");
}

const LanguageCase kLanguages[] = {
    {"FrenchFrance", 0x040C, 1252, kFrench},
    {"FrenchCanada", 0x0C0C, 1252, kFrench},
    {"FrenchSwitzerland", 0x100C, 1252, kFrench},
    {"EnglishUnitedStates", 0x0409, 1252, kEnglish},
    {"German", 0x0407, 1252, kEnglish},
    {"FrenchWithCyrillicCodePage", 0x040C, 1251, FrenchIn1251()},
};

INSTANTIATE_TEST_SUITE_P(Cases, Language, ::testing::ValuesIn(kLanguages),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(TextTable, AnEntryThatCannotBeWidenedStaysEmpty) {
    WizardHarness wizard;
    // The first widening call (the sizing of "Cancel") fails.
    wizard.machine.faults.add({.function = "MultiByteToWideChar", .error = 87});
    auto open = OpenThenCancel(wizard);
    EXPECT_EQ(ToUtf8(open->text[TextCancel]), "");
    EXPECT_EQ(ToUtf8(open->text[TextNext]), "Next");
    EXPECT_EQ(wizard.machine.faults.fired(0), 1u);
}

// --- Caption -------------------------------------------------------------------

struct CaptionCase {
    const char* name;
    std::optional<std::array<std::uint32_t, 4>> productVersion;  // a.b.c.d
    std::string fault;                                           // a call that fails, if any
    std::string caption;
};

void PrintTo(const CaptionCase& c, std::ostream* os) {
    *os << c.name;
}

class Caption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(Caption, ComesFromTheProductVersion) {
    const CaptionCase& c = GetParam();
    WizardHarness wizard;
    sim::ProgramResources resources = sim::InstallResources();
    if (c.productVersion) {
        const auto& v = *c.productVersion;
        resources.version->productVersionMS = sim::VersionMS(v[0], v[1]);
        resources.version->productVersionLS = sim::VersionLS(v[2], v[3]);
    } else {
        resources.version.reset();
    }
    wizard.machine.resources.set(WizardHarness::kInstallPath, resources);
    if (!c.fault.empty()) {
        wizard.machine.faults.add({.function = c.fault, .error = 8});
    }
    auto open = OpenThenCancel(wizard);
    SCOPED_TRACE(wizard.machine.trace.format());

    EXPECT_EQ(ToUtf8(open->caption), c.caption);
    // The version block is freed whatever happened.
    EXPECT_EQ(wizard.machine.memory.outstanding(), 0u);
    if (!c.fault.empty()) {
        EXPECT_EQ(wizard.machine.faults.fired(0), 1u);
    }
}

const CaptionCase kCaptions[] = {
    {"Shipped", std::array<std::uint32_t, 4>{0, 1, 1, 0}, "", "Tarnwell Setup 1.10"},
    {"FirstPartNeverShows", std::array<std::uint32_t, 4>{1, 2, 3, 4}, "", "Tarnwell Setup 2.34"},
    {"LowByteOfAPartAbove255", std::array<std::uint32_t, 4>{0, 1, 300, 0}, "",
     "Tarnwell Setup 1.440"},
    {"EveryPartAbove255", std::array<std::uint32_t, 4>{7, 257, 258, 511}, "",
     "Tarnwell Setup 1.2255"},
    {"NoVersionResource", std::nullopt, "", "Install"},
    {"SizeCallFails", std::array<std::uint32_t, 4>{0, 1, 1, 0}, "GetFileVersionInfoSizeW",
     "Install"},
    {"NoMemoryForTheBlock", std::array<std::uint32_t, 4>{0, 1, 1, 0}, "GlobalAlloc", "Install"},
    {"BlockCannotBeRead", std::array<std::uint32_t, 4>{0, 1, 1, 0}, "GetFileVersionInfoW",
     "Install"},
    {"RootQueryFails", std::array<std::uint32_t, 4>{0, 1, 1, 0}, "VerQueryValueW", "Install"},
    {"OwnPathUnknown", std::array<std::uint32_t, 4>{0, 1, 1, 0}, "GetModuleFileNameW", "Install"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Caption, ::testing::ValuesIn(kCaptions),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(CaptionPath, AProgramPathBeyondItsBufferIsNotUsed) {
    // A program path of 260 units does not fit the buffer with its
    // terminator: the system cuts it, and the cut path is never queried.
    std::u16string folder = u"C:\\" + std::u16string(245, u'p');
    std::u16string path = folder + u"\\Install.exe";
    ASSERT_EQ(path.size(), 260u);
    sim::SimMachine machine;
    machine.files.addFile(path);
    machine.resources.set(path, sim::InstallResources());
    sim::SimPlatform install(machine, path, u"C:\\");
    ScriptedOperations operations(machine, install.platform());
    CInstallApp app(install.platform(), operations, u"");
    machine.user.clickAt(machine.clock.now(), win::kIdCancel);
    app.InitInstance();
    EXPECT_EQ(ToUtf8(machine.dialogs.last()->caption()), "Install");
    EXPECT_TRUE(machine.trace.matching("GetFileVersionInfoSizeW").empty());
}

// --- Port choice -----------------------------------------------------------------

struct PortChoiceCase {
    const char* name;
    std::vector<std::int32_t> clicks;
    std::int32_t portType;
    // CheckDlgButton calls the clicks made (beyond the two of start-up).
    std::size_t markChanges;
};

void PrintTo(const PortChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class PortChoice : public ::testing::TestWithParam<PortChoiceCase> {};

TEST_P(PortChoice, ClickingARadioButtonMovesTheMarkOnlyWhenItChangesTheType) {
    const PortChoiceCase& c = GetParam();
    WizardHarness wizard;
    sim::Millis when = wizard.at(100);
    for (std::int32_t click : c.clicks) {
        wizard.machine.user.clickAt(when, click);
        when += 100;
    }
    std::int32_t portType = -1;
    wizard.machine.clock.schedule(when, "look",
                                  [&] { portType = wizard.app->m_pMainWnd->m_portType; });
    wizard.machine.user.clickAt(when, win::kIdCancel);
    wizard.run();

    EXPECT_EQ(portType, c.portType);
    EXPECT_EQ(wizard.checked(IDC_USB), c.portType == 1);
    EXPECT_EQ(wizard.checked(IDC_OTHER), c.portType == 0);
    EXPECT_EQ(wizard.machine.trace.matching("CheckDlgButton(").size(), 2 + c.markChanges);
}

const PortChoiceCase kPortChoices[] = {
    {"UsbAgain", {IDC_USB}, 1, 0},
    {"Other", {IDC_OTHER}, 0, 2},
    {"OtherTwice", {IDC_OTHER, IDC_OTHER}, 0, 2},
    {"OtherThenUsb", {IDC_OTHER, IDC_USB}, 1, 4},
};

INSTANTIATE_TEST_SUITE_P(Cases, PortChoice, ::testing::ValuesIn(kPortChoices),
                         [](const auto& param) { return std::string(param.param.name); });

// --- Icon and painting ------------------------------------------------------------

TEST(Icon, IsTheWindowsBigAndSmallIconAndTheDragIcon) {
    WizardHarness wizard;
    platform::IconHandle dragIcon = platform::kNoIcon;
    wizard.machine.clock.schedule(wizard.at(0), "look",
                                  [&] { dragIcon = wizard.app->m_pMainWnd->OnQueryDragIcon(); });
    wizard.machine.user.clickAt(wizard.at(0), win::kIdCancel);
    wizard.run();
    platform::IconHandle icon = wizard.install.platform().window.LoadIconW(IDR_MAINFRAME).value;
    ASSERT_NE(icon, platform::kNoIcon);
    EXPECT_EQ(wizard.dialog().bigIcon(), icon);
    EXPECT_EQ(wizard.dialog().smallIcon(), icon);
    EXPECT_EQ(dragIcon, icon);
}

struct PaintCase {
    const char* name;
    bool iconic;
    platform::ClientRect client;
    std::int32_t x, y;
};

void PrintTo(const PaintCase& c, std::ostream* os) {
    *os << c.name;
}

class Paint : public ::testing::TestWithParam<PaintCase> {};

TEST_P(Paint, DrawsTheIconCentredOnlyWhenMinimised) {
    const PaintCase& c = GetParam();
    WizardHarness wizard;
    wizard.machine.clock.schedule(wizard.at(50), "minimise and paint", [&] {
        sim::DialogWindow* dialog = wizard.machine.dialogs.current();
        dialog->iconic = c.iconic;
        dialog->clientRect = c.client;
        wizard.machine.dialogs.paint();
    });
    wizard.machine.user.clickAt(wizard.at(100), win::kIdCancel);
    wizard.run();
    const sim::DialogWindow& dialog = wizard.dialog();
    EXPECT_EQ(dialog.openPaints, 0u);
    if (!c.iconic) {
        EXPECT_EQ(dialog.defaultPaints, 1u);
        EXPECT_TRUE(dialog.drawnIcons.empty());
        return;
    }
    EXPECT_EQ(dialog.defaultPaints, 0u);
    EXPECT_EQ(dialog.iconBackgroundErasures, 1u);
    ASSERT_EQ(dialog.drawnIcons.size(), 1u);
    EXPECT_EQ(dialog.drawnIcons[0].x, c.x);
    EXPECT_EQ(dialog.drawnIcons[0].y, c.y);
    EXPECT_EQ(dialog.drawnIcons[0].icon, dialog.bigIcon());
}

const PaintCase kPaints[] = {
    {"Restored", false, {0, 0, 378, 345}, 0, 0},
    // (100 - 32 + 1) / 2 and (61 - 32 + 1) / 2.
    {"Minimised", true, {0, 0, 100, 61}, 34, 15},
    // An empty client area: (0 - 32 + 1) / 2 rounds towards zero.
    {"MinimisedEmptyClient", true, {0, 0, 0, 0}, -15, -15},
};

INSTANTIATE_TEST_SUITE_P(Cases, Paint, ::testing::ValuesIn(kPaints),
                         [](const auto& param) { return std::string(param.param.name); });

// --- Application object -------------------------------------------------------------

TEST(Application, EndsAfterTheDialogWithTheRegistryKeySetAndNothingStored) {
    WizardHarness wizard;
    wizard.machine.user.clickAt(wizard.at(0), win::kIdCancel);
    wizard.run(u"");
    EXPECT_EQ(ToUtf8(wizard.app->m_pszRegistryKey),
              "Applications locales g\xC3\xA9n\xC3\xA9r\xC3\xA9"
              "es par AppWizard");
    EXPECT_EQ(wizard.app->m_pMainWnd, nullptr);
    EXPECT_EQ(wizard.machine.dialogs.count(), 1u);
    EXPECT_TRUE(wizard.dialog().ended());
    EXPECT_EQ(wizard.dialog().result(), win::kIdCancel);
    // The dialog's timers died with it.
    EXPECT_EQ(wizard.machine.clock.pendingEvents(), 0u);
}

TEST(Application, EndsWhenTheDialogCannotBeCreated) {
    WizardHarness wizard;
    wizard.machine.faults.add({.function = "DialogBoxParamW", .error = 1400});
    CInstallApp app(wizard.install.platform(), wizard.operations, u"");
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(wizard.machine.dialogs.count(), 0u);
    EXPECT_TRUE(wizard.operations.calls.empty());
}

}  // namespace
}  // namespace tw::wizard
