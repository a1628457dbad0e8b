#include "sim/sim_window.h"

#include <algorithm>
#include <cstdio>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

std::string Quote(std::u16string_view text) {
    return "\"" + Utf8(text) + "\"";
}

std::string Outcome(bool ok, std::uint32_t error) {
    return ok ? "1" : "0, error " + std::to_string(error);
}

// Handles the simulated window system hands out for icons and paint contexts.
constexpr std::uintptr_t kIconBase = 0x0002'0000;
constexpr std::uintptr_t kPaintContext = 0x0003'0010;
// The size of an icon in the system metrics.
constexpr std::int32_t kIconSize = 32;

}  // namespace

std::u16string SimWindow::applicationName() const {
    std::u16string name(FileName(process_.image));
    std::size_t dot = name.rfind(u'.');
    return dot == std::u16string::npos ? name : name.substr(0, dot);
}

platform::Result<std::int32_t> SimWindow::MessageBox(std::u16string_view text) {
    // Modal to the dialog: while it is open the dialog takes no input.
    DialogWindow* dialog = m_.dialogs.current();
    if (dialog != nullptr) {
        dialog->modalBoxOpen = true;
    }
    std::int32_t answer = m_.desktop.showMessageBox(kSimDialogWindow, applicationName(),
                                                    std::u16string(text), win::kMbOk);
    if (dialog != nullptr) {
        dialog->modalBoxOpen = false;
    }
    return {answer, 0};
}

// --- The dialog and its modal loop -------------------------------------------

platform::Result<std::intptr_t> SimWindow::DialogBoxParamW(std::int32_t templateId,
                                                           platform::DialogHandler& handler) {
    std::string call = "DialogBoxParamW(" + std::to_string(templateId) + ")";
    std::uint32_t error = 0;
    const DialogTemplate* dialogTemplate = nullptr;
    if (auto planned = m_.faults.check("DialogBoxParamW")) {
        error = *planned;
    } else if (m_.dialogs.current() != nullptr) {
        error = win::kErrorInvalidParameter;  // the machine shows one dialog at a time
    } else {
        const ProgramResources* resources = m_.resources.find(process_.image);
        if (resources == nullptr) {
            error = win::kErrorResourceTypeNotFound;
        } else if (auto it = resources->dialogs.find(templateId); it == resources->dialogs.end()) {
            error = win::kErrorResourceNameNotFound;
        } else {
            dialogTemplate = &it->second;
        }
    }
    if (dialogTemplate == nullptr) {
        m_.trace.call(call + " -> -1, error " + std::to_string(error));
        return {-1, error};
    }
    m_.trace.call(call);
    DialogWindow& dialog = m_.dialogs.open(*dialogTemplate, kSimDialogWindow);
    bool focusFirstTabStop = handler.OnInitDialog();
    if (!dialog.ended()) {
        dialog.show(focusFirstTabStop);
        runModalLoop(dialog, handler);
    }
    dialog.destroy();
    m_.trace.call(call + " -> " + std::to_string(dialog.result()));
    return {dialog.result(), 0};
}

void SimWindow::runModalLoop(DialogWindow& dialog, platform::DialogHandler& handler) {
    while (!dialog.ended()) {
        if (auto input = dialog.takeInput()) {
            switch (input->kind) {
                case DialogInput::Kind::Click: {
                    const ControlState* control = dialog.control(input->control);
                    if (control == nullptr || !control->enabled ||
                        control->control.windowClass != ControlClass::Button ||
                        (control->control.style & style::kBsTypeMask) == style::kBsGroupBox) {
                        m_.trace.screen("click on control " + std::to_string(input->control) +
                                        " does nothing");
                        break;
                    }
                    handler.OnCommand(input->control);
                    break;
                }
                case DialogInput::Kind::CloseBox: {
                    // The close box sends IDCANCEL unless the Cancel button
                    // is there and disabled.
                    const ControlState* cancel = dialog.control(win::kIdCancel);
                    if (cancel != nullptr && !cancel->enabled) {
                        m_.trace.screen("close box does nothing: Cancel is disabled");
                        break;
                    }
                    handler.OnCommand(win::kIdCancel);
                    break;
                }
                case DialogInput::Kind::Paint:
                    handler.OnPaint();
                    break;
            }
            continue;
        }
        if (auto timer = dialog.takeDueTimer()) {
            m_.trace.call("WM_TIMER " + std::to_string(*timer));
            handler.OnTimer(*timer);
            continue;
        }
        m_.clock.runUntil([&dialog] { return dialog.ended() || dialog.hasWork(); }, kNever,
                          "the dialog waiting for a click or a timer");
    }
}

platform::Result<bool> SimWindow::EndDialog(std::intptr_t result) {
    std::string call = "EndDialog(" + std::to_string(result) + ")";
    DialogWindow* dialog = m_.dialogs.current();
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("EndDialog")) {
        error = *planned;
    } else if (dialog == nullptr) {
        error = win::kErrorInvalidWindowHandle;
    }
    m_.trace.call(call + " -> " + Outcome(error == 0, error));
    if (error != 0) {
        return {false, error};
    }
    dialog->end(result);
    return {true, 0};
}

platform::Result<std::uintptr_t> SimWindow::SetTimer(std::uintptr_t id, std::uint32_t elapse) {
    std::string call = "SetTimer(" + std::to_string(id) + ", " + std::to_string(elapse) + ")";
    DialogWindow* dialog = m_.dialogs.current();
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("SetTimer")) {
        error = *planned;
    } else if (dialog == nullptr) {
        error = win::kErrorInvalidWindowHandle;
    }
    if (error != 0) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return {0, error};
    }
    dialog->setTimer(id, elapse);
    m_.trace.call(call + " -> " + std::to_string(id));
    return {id, 0};
}

platform::Result<bool> SimWindow::KillTimer(std::uintptr_t id) {
    std::string call = "KillTimer(" + std::to_string(id) + ")";
    DialogWindow* dialog = m_.dialogs.current();
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("KillTimer")) {
        error = *planned;
    } else if (dialog == nullptr) {
        error = win::kErrorInvalidWindowHandle;
    } else if (!dialog->killTimer(id)) {
        error = win::kErrorInvalidParameter;  // no such timer
    }
    m_.trace.call(call + " -> " + Outcome(error == 0, error));
    return {error == 0, error};
}

// --- Controls ---------------------------------------------------------------

namespace {

// The control `id` of the shown dialog, or the error GetDlgItem gives.
ControlState* FindControl(DialogWindows& dialogs, std::int32_t id, std::uint32_t& error) {
    DialogWindow* dialog = dialogs.current();
    if (dialog == nullptr) {
        error = win::kErrorInvalidWindowHandle;
        return nullptr;
    }
    ControlState* control = dialog->control(id);
    if (control == nullptr) {
        error = win::kErrorControlIdNotFound;
    }
    return control;
}

}  // namespace

platform::Result<bool> SimWindow::EnableWindow(std::int32_t control, bool enable) {
    std::string call =
        "EnableWindow(" + std::to_string(control) + ", " + (enable ? "TRUE" : "FALSE") + ")";
    std::uint32_t error = 0;
    ControlState* state = nullptr;
    if (auto planned = m_.faults.check("EnableWindow")) {
        error = *planned;
    } else {
        state = FindControl(m_.dialogs, control, error);
    }
    if (state == nullptr) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return {false, error};
    }
    bool wasDisabled = !state->enabled;
    m_.trace.call(call + " -> " + (wasDisabled ? "1" : "0"));
    m_.dialogs.current()->setEnabled(*state, enable);
    return {wasDisabled, 0};
}

platform::Result<bool> SimWindow::SetWindowTextW(std::int32_t control, std::u16string_view text) {
    std::string call = "SetWindowTextW(" + std::to_string(control) + ", " + Quote(text) + ")";
    std::uint32_t error = 0;
    DialogWindow* dialog = m_.dialogs.current();
    ControlState* state = nullptr;
    if (auto planned = m_.faults.check("SetWindowTextW", text)) {
        error = *planned;
    } else if (dialog == nullptr) {
        error = win::kErrorInvalidWindowHandle;
    } else if (control != platform::kTheDialog) {
        state = FindControl(m_.dialogs, control, error);
    }
    m_.trace.call(call + " -> " + Outcome(error == 0, error));
    if (error != 0) {
        return {false, error};
    }
    if (control == platform::kTheDialog) {
        dialog->setCaption(std::u16string(text));
    } else {
        dialog->setText(*state, std::u16string(text));
    }
    return {true, 0};
}

platform::Result<std::int32_t> SimWindow::GetWindowTextLengthW(std::int32_t control) {
    std::uint32_t error = 0;
    ControlState* state = nullptr;
    if (auto planned = m_.faults.check("GetWindowTextLengthW")) {
        error = *planned;
    } else {
        state = FindControl(m_.dialogs, control, error);
    }
    if (state == nullptr) {
        return {0, error};
    }
    return {static_cast<std::int32_t>(state->text.size()), 0};
}

platform::Result<std::int32_t> SimWindow::GetWindowTextW(std::int32_t control,
                                                         std::span<char16_t> buffer) {
    std::uint32_t error = 0;
    ControlState* state = nullptr;
    if (auto planned = m_.faults.check("GetWindowTextW")) {
        error = *planned;
    } else {
        state = FindControl(m_.dialogs, control, error);
    }
    if (state == nullptr) {
        return {0, error};
    }
    if (buffer.empty()) {
        return {0, 0};
    }
    std::size_t copied = std::min(state->text.size(), buffer.size() - 1);
    std::copy_n(state->text.begin(), copied, buffer.begin());
    buffer[copied] = u'\0';
    return {static_cast<std::int32_t>(copied), 0};
}

platform::Result<bool> SimWindow::CheckDlgButton(std::int32_t button, std::uint32_t check) {
    std::string call =
        "CheckDlgButton(" + std::to_string(button) + ", " + std::to_string(check) + ")";
    std::uint32_t error = 0;
    ControlState* state = nullptr;
    if (auto planned = m_.faults.check("CheckDlgButton")) {
        error = *planned;
    } else {
        state = FindControl(m_.dialogs, button, error);
    }
    m_.trace.call(call + " -> " + Outcome(state != nullptr, error));
    if (state == nullptr) {
        return {false, error};
    }
    m_.dialogs.current()->setChecked(*state, check == win::kBstChecked);
    return {true, 0};
}

// --- Icons and painting -------------------------------------------------------

platform::Result<platform::IconHandle> SimWindow::LoadIconW(std::int32_t resourceId) {
    std::string call = "LoadIconW(" + std::to_string(resourceId) + ")";
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("LoadIconW")) {
        error = *planned;
    } else {
        const ProgramResources* resources = m_.resources.find(process_.image);
        if (resources == nullptr) {
            error = win::kErrorResourceTypeNotFound;
        } else if (resources->icons.count(resourceId) == 0) {
            error = win::kErrorResourceNameNotFound;
        }
    }
    if (error != 0) {
        m_.trace.call(call + " -> null, error " + std::to_string(error));
        return {platform::kNoIcon, error};
    }
    m_.trace.call(call + " -> icon");
    return {platform::IconHandle{kIconBase + static_cast<std::uintptr_t>(resourceId)}, 0};
}

platform::Result<std::intptr_t> SimWindow::SendMessageW(std::uint32_t message,
                                                        std::uintptr_t wParam,
                                                        std::intptr_t lParam) {
    DialogWindow* dialog = m_.dialogs.current();
    if (dialog == nullptr) {
        return {0, win::kErrorInvalidWindowHandle};
    }
    if (message == win::kWmSetIcon) {
        bool big = wParam == win::kIconBig;
        platform::IconHandle before =
            dialog->setIcon(big, platform::IconHandle{static_cast<std::uintptr_t>(lParam)});
        m_.trace.call(std::string("SendMessageW(WM_SETICON, ") + (big ? "ICON_BIG" : "ICON_SMALL") +
                      ")");
        return {static_cast<std::intptr_t>(before), 0};
    }
    if (message == win::kWmIconEraseBkgnd) {
        ++dialog->iconBackgroundErasures;
        m_.trace.call("SendMessageW(WM_ICONERASEBKGND)");
        return {0, 0};
    }
    m_.trace.call("SendMessageW(" + std::to_string(message) + ") -> 0");
    return {0, 0};
}

platform::Result<std::intptr_t> SimWindow::DefWindowProcW(std::uint32_t message,
                                                          std::uintptr_t /*wParam*/,
                                                          std::intptr_t /*lParam*/) {
    DialogWindow* dialog = m_.dialogs.current();
    if (dialog != nullptr && message == win::kWmPaint) {
        ++dialog->defaultPaints;
    }
    return {0, 0};
}

platform::Result<bool> SimWindow::IsIconic() {
    DialogWindow* dialog = m_.dialogs.current();
    return {dialog != nullptr && dialog->iconic, 0};
}

platform::Result<platform::DeviceContext> SimWindow::BeginPaint() {
    DialogWindow* dialog = m_.dialogs.current();
    if (dialog == nullptr) {
        return {platform::kNoDeviceContext, win::kErrorInvalidWindowHandle};
    }
    ++dialog->openPaints;
    return {platform::DeviceContext{kPaintContext}, 0};
}

platform::Result<bool> SimWindow::EndPaint(platform::DeviceContext context) {
    DialogWindow* dialog = m_.dialogs.current();
    if (dialog == nullptr || context != platform::DeviceContext{kPaintContext} ||
        dialog->openPaints == 0) {
        return {false, win::kErrorInvalidParameter};
    }
    --dialog->openPaints;
    return {true, 0};
}

platform::Result<std::int32_t> SimWindow::GetSystemMetrics(std::int32_t index) {
    if (index == win::kSmCxIcon || index == win::kSmCyIcon) {
        return {kIconSize, 0};
    }
    return {0, 0};
}

platform::Result<bool> SimWindow::GetClientRect(platform::ClientRect& rect) {
    DialogWindow* dialog = m_.dialogs.current();
    if (dialog == nullptr) {
        return {false, win::kErrorInvalidWindowHandle};
    }
    rect = dialog->clientRect;
    return {true, 0};
}

platform::Result<bool> SimWindow::DrawIcon(platform::DeviceContext context, std::int32_t x,
                                           std::int32_t y, platform::IconHandle icon) {
    DialogWindow* dialog = m_.dialogs.current();
    if (dialog == nullptr || context != platform::DeviceContext{kPaintContext} ||
        icon == platform::kNoIcon) {
        return {false, win::kErrorInvalidParameter};
    }
    dialog->drawnIcons.push_back({x, y, icon});
    m_.trace.screen("icon drawn at " + std::to_string(x) + ", " + std::to_string(y));
    return {true, 0};
}

// --- Language, code page, version resource -----------------------------------------

platform::Result<std::uint16_t> SimWindow::GetSystemDefaultLangID() {
    std::uint16_t language = m_.locale.defaultLangId;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(language));
    m_.trace.call(std::string("GetSystemDefaultLangID -> ") + hex);
    return {language, 0};
}

platform::Result<std::int32_t> SimWindow::MultiByteToWideChar(std::uint32_t codePage,
                                                              std::string_view bytes,
                                                              std::span<char16_t> buffer) {
    std::uint32_t effective = codePage == win::kCpAcp ? m_.locale.ansiCodePage : codePage;
    std::string call = "MultiByteToWideChar(" + std::to_string(effective) + ", " +
                       std::to_string(bytes.size()) + " bytes, " + std::to_string(buffer.size()) +
                       " units)";
    std::uint32_t error = 0;
    std::optional<std::u16string> widened;
    if (auto planned = m_.faults.check("MultiByteToWideChar")) {
        error = *planned;
    } else if (bytes.empty()) {
        error = win::kErrorInvalidParameter;
    } else {
        widened = WidenCodePage(effective, bytes);
        if (!widened) {
            error = win::kErrorInvalidParameter;
        } else if (!buffer.empty() && buffer.size() < widened->size()) {
            // Windows fills what fits, then fails.
            std::copy_n(widened->begin(), buffer.size(), buffer.begin());
            error = win::kErrorInsufficientBuffer;
        }
    }
    if (error != 0) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return {0, error};
    }
    if (!buffer.empty()) {
        std::copy(widened->begin(), widened->end(), buffer.begin());
    }
    m_.trace.call(call + " -> " + std::to_string(widened->size()));
    return {static_cast<std::int32_t>(widened->size()), 0};
}

const VersionResource* SimWindow::versionOf(std::u16string_view path, std::uint32_t& error) const {
    std::u16string full = ResolvePath(process_.currentDirectory, path);
    if (!m_.files.isFile(full)) {
        error = m_.files.isFolder(full) ? win::kErrorAccessDenied : m_.files.lookupError(full);
        return nullptr;
    }
    // A program without a resource section, or with resources but no
    // version resource among them.
    const ProgramResources* resources = m_.resources.find(full);
    if (resources == nullptr) {
        error = win::kErrorResourceDataNotFound;
        return nullptr;
    }
    if (!resources->version) {
        error = win::kErrorResourceTypeNotFound;
        return nullptr;
    }
    return &*resources->version;
}

platform::Result<std::uint32_t> SimWindow::GetFileVersionInfoSizeW(std::u16string_view path) {
    std::string call = "GetFileVersionInfoSizeW(" + Quote(path) + ")";
    std::uint32_t error = 0;
    const VersionResource* version = nullptr;
    if (auto planned = m_.faults.check("GetFileVersionInfoSizeW", path)) {
        error = *planned;
    } else {
        version = versionOf(path, error);
    }
    if (version == nullptr) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return {0, error};
    }
    auto size = static_cast<std::uint32_t>(EncodeVersionBlock(*version).size());
    m_.trace.call(call + " -> " + std::to_string(size));
    return {size, 0};
}

platform::Result<bool> SimWindow::GetFileVersionInfoW(std::u16string_view path,
                                                      std::span<std::uint8_t> block) {
    std::string call =
        "GetFileVersionInfoW(" + Quote(path) + ", " + std::to_string(block.size()) + " bytes)";
    std::uint32_t error = 0;
    const VersionResource* version = nullptr;
    if (auto planned = m_.faults.check("GetFileVersionInfoW", path)) {
        error = *planned;
    } else {
        version = versionOf(path, error);
    }
    m_.trace.call(call + " -> " + Outcome(version != nullptr, error));
    if (version == nullptr) {
        return {false, error};
    }
    // Cut to the buffer's size, as Windows copies it.
    std::vector<std::uint8_t> bytes = EncodeVersionBlock(*version);
    std::copy_n(bytes.begin(), std::min(bytes.size(), block.size()), block.begin());
    return {true, 0};
}

platform::Result<bool> SimWindow::VerQueryValueW(std::span<const std::uint8_t> block,
                                                 std::u16string_view subBlock,
                                                 platform::FixedFileInfo& info) {
    std::string call = "VerQueryValueW(" + Quote(subBlock) + ")";
    std::uint32_t error = 0;
    std::optional<platform::FixedFileInfo> fixed;
    if (auto planned = m_.faults.check("VerQueryValueW", subBlock)) {
        error = *planned;
    } else if (subBlock != u"\\") {
        error = win::kErrorResourceTypeNotFound;  // only the root is looked up here
    } else {
        fixed = DecodeFixedFileInfo(block);
        if (!fixed) {
            error = win::kErrorResourceTypeNotFound;
        }
    }
    m_.trace.call(call + " -> " + Outcome(fixed.has_value(), error));
    if (!fixed) {
        return {false, error};
    }
    info = *fixed;
    return {true, 0};
}

}  // namespace tw::sim
