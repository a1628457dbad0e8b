// What the Window area's calls do: the dialog from the program's template
// 102 and its services, the ANSI code page, icons and the version resource,
// on the simulated machine and on the real system alike. The test program
// carries install's resources.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::ToUtf8;

constexpr std::int32_t kTemplate = 102;
constexpr std::int32_t kIcon = 132;
constexpr std::int32_t kNextButton = 1013;
constexpr std::int32_t kFirstLabel = 1009;

// A dialog whose handlers run the case's checks.
class ScriptedDialog : public platform::DialogHandler {
  public:
    std::function<bool()> onInit = [] { return true; };
    std::function<void(std::uintptr_t)> onTimer = [](std::uintptr_t) {};
    std::vector<std::uintptr_t> ticks;

    bool OnInitDialog() override { return onInit(); }
    void OnCommand(std::int32_t /*id*/) override {}
    void OnTimer(std::uintptr_t id) override {
        ticks.push_back(id);
        onTimer(id);
    }
    // Paints as the default handling does; a handler that left the window
    // unpainted would be asked again and again, and no timer would tick.
    void OnPaint() override { Env().platform().window.DefWindowProcW(win::kWmPaint, 0, 0); }
    platform::IconHandle OnQueryDragIcon() override { return platform::kNoIcon; }
};

class WindowContract : public ::testing::Test {
  protected:
    platform::Window& window = Env().platform().window;

    std::intptr_t show(ScriptedDialog& dialog) {
        auto result = window.DialogBoxParamW(kTemplate, dialog);
        EXPECT_NE(result.value, -1) << "error " << result.error;
        return result.value;
    }

    std::u16string ownProgram() {
        std::array<char16_t, 260> path{};
        auto length = Env().platform().kernel.GetModuleFileNameW(path);
        return std::u16string(path.data(), length.value);
    }
};

TEST_F(WindowContract, DialogReturnsTheResultGivenToEndDialog) {
    ScriptedDialog dialog;
    dialog.onInit = [&] {
        EXPECT_TRUE(window.EndDialog(7).value);
        return true;
    };
    EXPECT_EQ(show(dialog), 7);
}

TEST_F(WindowContract, MissingTemplateFailsWithMinusOne) {
    ScriptedDialog dialog;
    auto result = window.DialogBoxParamW(999, dialog);
    EXPECT_EQ(result.value, -1);
    EXPECT_EQ(result.error, win::kErrorResourceNameNotFound);
}

TEST_F(WindowContract, ControlTextsAreWrittenAndReadBack) {
    ScriptedDialog dialog;
    dialog.onInit = [&] {
        const std::u16string text = u">   Mise \u00E0 jour du firmware ...";
        EXPECT_TRUE(window.SetWindowTextW(kFirstLabel, text).value);
        EXPECT_EQ(window.GetWindowTextLengthW(kFirstLabel).value,
                  static_cast<std::int32_t>(text.size()));
        std::array<char16_t, 64> buffer{};
        auto copied = window.GetWindowTextW(kFirstLabel, buffer);
        EXPECT_EQ(copied.value, static_cast<std::int32_t>(text.size()));
        EXPECT_EQ(ToUtf8(std::u16string(buffer.data(), text.size())), ToUtf8(text));
        // A small buffer gets the text cut to fit with its terminator.
        std::array<char16_t, 5> small{};
        EXPECT_EQ(window.GetWindowTextW(kFirstLabel, small).value, 4);
        EXPECT_EQ(ToUtf8(std::u16string(small.data(), 4)), ">   ");
        EXPECT_EQ(small[4], u'\0');
        // The caption of the dialog itself.
        EXPECT_TRUE(window.SetWindowTextW(platform::kTheDialog, u"Tarnwell Setup 1.10").value);
        window.EndDialog(1);
        return true;
    };
    show(dialog);
}

TEST_F(WindowContract, AControlTheTemplateLacksFailsWithControlIdNotFound) {
    ScriptedDialog dialog;
    dialog.onInit = [&] {
        auto set = window.SetWindowTextW(4242, u"x");
        EXPECT_FALSE(set.value);
        auto enable = window.EnableWindow(4242, false);
        EXPECT_FALSE(enable.value);
        if (auto reason = Env().lacks("missing control error")) {
            std::cout << "error codes not checked: " << *reason << "\n";
        } else {
            EXPECT_EQ(set.error, win::kErrorControlIdNotFound);
            EXPECT_EQ(enable.error, win::kErrorControlIdNotFound);
        }
        window.EndDialog(1);
        return true;
    };
    show(dialog);
}

TEST_F(WindowContract, EnableWindowReportsWhetherTheControlWasDisabled) {
    ScriptedDialog dialog;
    dialog.onInit = [&] {
        EXPECT_FALSE(window.EnableWindow(kNextButton, false).value);
        EXPECT_TRUE(window.EnableWindow(kNextButton, false).value);
        EXPECT_TRUE(window.EnableWindow(kNextButton, true).value);
        EXPECT_FALSE(window.EnableWindow(kFirstLabel, false).value);
        EXPECT_TRUE(window.CheckDlgButton(1005, win::kBstChecked).value);
        EXPECT_TRUE(window.CheckDlgButton(1006, win::kBstUnchecked).value);
        window.EndDialog(1);
        return true;
    };
    show(dialog);
}

TEST_F(WindowContract, ArmingAnArmedTimerReplacesIt) {
    ScriptedDialog dialog;
    dialog.onInit = [&] {
        EXPECT_EQ(window.SetTimer(1, 20).value, 1u);
        // Re-armed with a long interval: the 20 ms tick never comes.
        EXPECT_EQ(window.SetTimer(1, 60000).value, 1u);
        EXPECT_EQ(window.SetTimer(2, 300).value, 2u);
        return true;
    };
    dialog.onTimer = [&](std::uintptr_t id) {
        if (id == 2) {
            EXPECT_TRUE(window.KillTimer(1).value);
            EXPECT_TRUE(window.KillTimer(2).value);
            window.EndDialog(1);
        }
    };
    show(dialog);
    EXPECT_EQ(dialog.ticks, std::vector<std::uintptr_t>{2});
}

TEST_F(WindowContract, ATimerRepeatsUntilKilled) {
    ScriptedDialog dialog;
    dialog.onInit = [&] {
        window.SetTimer(1, 20);
        return true;
    };
    dialog.onTimer = [&](std::uintptr_t) {
        if (dialog.ticks.size() == 3) {
            EXPECT_TRUE(window.KillTimer(1).value);
            auto again = window.KillTimer(1);
            EXPECT_FALSE(again.value);
            window.EndDialog(1);
        }
    };
    show(dialog);
    EXPECT_EQ(dialog.ticks.size(), 3u);
}

TEST_F(WindowContract, TheDialogEndsOnlyWhenTheRunningHandlerReturns) {
    ScriptedDialog dialog;
    bool textSetAfterEnd = false;
    dialog.onInit = [&] {
        window.SetTimer(1, 10);
        return true;
    };
    dialog.onTimer = [&](std::uintptr_t id) {
        if (id != 1) {
            return;
        }
        window.KillTimer(1);
        window.EndDialog(3);
        // The window still exists until the handler returns; a timer armed
        // now never ticks.
        textSetAfterEnd = window.SetWindowTextW(kFirstLabel, u"after").value;
        window.SetTimer(5, 1);
    };
    EXPECT_EQ(show(dialog), 3);
    EXPECT_TRUE(textSetAfterEnd);
    EXPECT_EQ(dialog.ticks, std::vector<std::uintptr_t>{1});
}

TEST_F(WindowContract, IconsComeFromTheProgramsResources) {
    auto missing = window.LoadIconW(999);
    EXPECT_EQ(missing.value, platform::kNoIcon);
    if (!Env().lacks("missing icon error")) {
        EXPECT_EQ(missing.error, win::kErrorResourceNameNotFound);
    }
    auto icon = window.LoadIconW(kIcon);
    ASSERT_NE(icon.value, platform::kNoIcon) << "error " << icon.error;
    ScriptedDialog dialog;
    dialog.onInit = [&] {
        auto value = static_cast<std::intptr_t>(icon.value);
        EXPECT_EQ(window.SendMessageW(win::kWmSetIcon, win::kIconBig, value).value, 0);
        EXPECT_EQ(window.SendMessageW(win::kWmSetIcon, win::kIconBig, value).value, value);
        EXPECT_FALSE(window.IsIconic().value);
        EXPECT_GT(window.GetSystemMetrics(win::kSmCxIcon).value, 0);
        platform::ClientRect rect;
        EXPECT_TRUE(window.GetClientRect(rect).value);
        EXPECT_GT(rect.right - rect.left, 0);
        window.EndDialog(1);
        return true;
    };
    show(dialog);
}

TEST_F(WindowContract, AnsiTextIsWidenedWithTheSystemCodePage) {
    const std::string bytes = "Mise \xE0 jour \x80";
    auto needed = window.MultiByteToWideChar(win::kCpAcp, bytes, {});
    EXPECT_EQ(needed.value, 13);
    std::array<char16_t, 13> buffer{};
    auto widened = window.MultiByteToWideChar(win::kCpAcp, bytes, buffer);
    ASSERT_EQ(widened.value, 13);
    EXPECT_EQ(ToUtf8(std::u16string(buffer.data(), 13)), "Mise \xC3\xA0 jour \xE2\x82\xAC");

    std::array<char16_t, 4> small{};
    auto cut = window.MultiByteToWideChar(win::kCpAcp, bytes, small);
    EXPECT_EQ(cut.value, 0);
    EXPECT_EQ(cut.error, win::kErrorInsufficientBuffer);

    auto empty = window.MultiByteToWideChar(win::kCpAcp, "", buffer);
    EXPECT_EQ(empty.value, 0);
    EXPECT_EQ(empty.error, win::kErrorInvalidParameter);
}

TEST_F(WindowContract, TheProgramsVersionResourceGivesItsFixedInformation) {
    std::u16string program = ownProgram();
    auto size = window.GetFileVersionInfoSizeW(program);
    ASSERT_GT(size.value, 0u) << "error " << size.error;
    std::vector<std::uint8_t> block(size.value);
    ASSERT_TRUE(window.GetFileVersionInfoW(program, block).value);
    platform::FixedFileInfo fixed;
    ASSERT_TRUE(window.VerQueryValueW(block, u"\\", fixed).value);
    EXPECT_EQ(fixed.signature, win::kVsFfiSignature);
    EXPECT_EQ(fixed.productVersionMS, 0x00000001u);
    EXPECT_EQ(fixed.productVersionLS, 0x00010000u);
    EXPECT_EQ(fixed.fileVersionMS, 0x00000001u);
    EXPECT_EQ(fixed.fileVersionLS, 0x00010000u);
    EXPECT_EQ(fixed.fileType, 1u);  // an application
}

TEST_F(WindowContract, AFileWithoutResourcesOrNoFileGivesSizeZero) {
    std::u16string folder = Env().freshFolder();
    // The test child is a program without a resource section.
    std::u16string child = folder + u"\\child.exe";
    Env().placeChild(child);
    auto none = window.GetFileVersionInfoSizeW(child);
    EXPECT_EQ(none.value, 0u);
    EXPECT_EQ(none.error, win::kErrorResourceDataNotFound);

    auto missing = window.GetFileVersionInfoSizeW(folder + u"\\absent.exe");
    EXPECT_EQ(missing.value, 0u);
    EXPECT_EQ(missing.error, win::kErrorFileNotFound);
}

}  // namespace
}  // namespace tw::contract
