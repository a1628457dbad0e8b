#include "platform/win32/win32_window.h"

#include "platform/win32/wide.h"

namespace tw::platform::win32 {
namespace {

template <class T>
Result<T> Returned(T value, bool failed) {
    return {value, failed ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

// What DialogBoxParamW hands its dialog procedure.
struct DialogHost {
    Win32Window* window;
    DialogHandler* handler;
};

// A dialog whose template places it at 0, 0 opens centred on the work area
// of its screen, as the dialog class library the wizard was designed on
// places such dialogs.
void CentreOnWorkArea(HWND dialog) {
    RECT window{};
    if (::GetWindowRect(dialog, &window) == FALSE || window.left != 0 || window.top != 0) {
        return;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor) ==
        FALSE) {
        return;
    }
    const RECT& area = monitor.rcWork;
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    ::SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog procedure: passes the messages the wizard handles to its
// handler, everything else to the default dialog handling.
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* host = reinterpret_cast<DialogHost*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        host->window->setDialog(dialog);
        bool focusFirstTabStop = host->handler->OnInitDialog();
        CentreOnWorkArea(dialog);
        return focusFirstTabStop ? TRUE : FALSE;
    }
    auto* host = reinterpret_cast<DialogHost*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (host == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                host->handler->OnCommand(static_cast<std::int32_t>(LOWORD(wParam)));
                return TRUE;
            }
            return FALSE;
        case WM_TIMER:
            host->handler->OnTimer(static_cast<std::uintptr_t>(wParam));
            return TRUE;
        case WM_PAINT:
            host->handler->OnPaint();
            return TRUE;
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(host->handler->OnQueryDragIcon());
        default:
            return FALSE;
    }
}

}  // namespace

Win32Window::Win32Window() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    applicationName_ = name.substr(0, name.rfind(L'.'));
}

HWND Win32Window::item(std::int32_t control) const {
    if (control == kTheDialog) {
        return dialog_;
    }
    return ::GetDlgItem(dialog_, control);
}

Result<std::int32_t> Win32Window::MessageBox(std::u16string_view text) {
    std::wstring body = Wide(text);
    int answer = ::MessageBoxW(dialog_, body.c_str(), applicationName_.c_str(), MB_OK);
    return {answer, answer == 0 ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

// --- The dialog ------------------------------------------------------------

Result<std::intptr_t> Win32Window::DialogBoxParamW(std::int32_t templateId,
                                                   DialogHandler& handler) {
    DialogHost host{this, &handler};
    ::SetLastError(0);
    INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                       nullptr, DialogProcedure, reinterpret_cast<LPARAM>(&host));
    Result<std::intptr_t> outcome = Returned<std::intptr_t>(result, result == -1);
    dialog_ = nullptr;
    return outcome;
}

Result<bool> Win32Window::EndDialog(std::intptr_t result) {
    bool ok = ::EndDialog(dialog_, result) != FALSE;
    return Returned(ok, !ok);
}

Result<std::uintptr_t> Win32Window::SetTimer(std::uintptr_t id, std::uint32_t elapse) {
    UINT_PTR armed = ::SetTimer(dialog_, id, elapse, nullptr);
    return Returned<std::uintptr_t>(armed, armed == 0);
}

Result<bool> Win32Window::KillTimer(std::uintptr_t id) {
    bool ok = ::KillTimer(dialog_, id) != FALSE;
    return Returned(ok, !ok);
}

// --- Controls ----------------------------------------------------------------

Result<bool> Win32Window::EnableWindow(std::int32_t control, bool enable) {
    HWND window = item(control);
    if (window == nullptr) {
        return Returned(false, true);
    }
    bool wasDisabled = ::EnableWindow(window, enable ? TRUE : FALSE) != FALSE;
    return {wasDisabled, 0};
}

Result<bool> Win32Window::SetWindowTextW(std::int32_t control, std::u16string_view text) {
    HWND window = item(control);
    if (window == nullptr) {
        return Returned(false, true);
    }
    std::wstring value = Wide(text);
    bool ok = ::SetWindowTextW(window, value.c_str()) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    // A control paints its new text now: the step that set it may keep the
    // thread busy for a long time before the message loop runs again.
    if (ok && control != kTheDialog) {
        ::UpdateWindow(window);
    }
    return result;
}

Result<std::int32_t> Win32Window::GetWindowTextLengthW(std::int32_t control) {
    HWND window = item(control);
    if (window == nullptr) {
        return Returned<std::int32_t>(0, true);
    }
    ::SetLastError(0);
    int length = ::GetWindowTextLengthW(window);
    return {length, static_cast<std::uint32_t>(::GetLastError())};
}

Result<std::int32_t> Win32Window::GetWindowTextW(std::int32_t control, std::span<char16_t> buffer) {
    HWND window = item(control);
    if (window == nullptr) {
        return Returned<std::int32_t>(0, true);
    }
    ::SetLastError(0);
    int copied = ::GetWindowTextW(window, reinterpret_cast<wchar_t*>(buffer.data()),
                                  static_cast<int>(buffer.size()));
    return {copied, static_cast<std::uint32_t>(::GetLastError())};
}

Result<bool> Win32Window::CheckDlgButton(std::int32_t button, std::uint32_t check) {
    bool ok = ::CheckDlgButton(dialog_, button, check) != FALSE;
    return Returned(ok, !ok);
}

// --- Icons and painting -------------------------------------------------------

Result<IconHandle> Win32Window::LoadIconW(std::int32_t resourceId) {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
    return Returned(IconHandle{reinterpret_cast<std::uintptr_t>(icon)}, icon == nullptr);
}

Result<std::intptr_t> Win32Window::SendMessageW(std::uint32_t message, std::uintptr_t wParam,
                                                std::intptr_t lParam) {
    LRESULT answer = ::SendMessageW(dialog_, message, wParam, lParam);
    return {static_cast<std::intptr_t>(answer), 0};
}

Result<std::intptr_t> Win32Window::DefWindowProcW(std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
    LRESULT answer = ::DefWindowProcW(dialog_, message, wParam, lParam);
    return {static_cast<std::intptr_t>(answer), 0};
}

Result<bool> Win32Window::IsIconic() {
    return {::IsIconic(dialog_) != FALSE, 0};
}

Result<DeviceContext> Win32Window::BeginPaint() {
    HDC context = ::BeginPaint(dialog_, &paint_);
    return Returned(DeviceContext{reinterpret_cast<std::uintptr_t>(context)}, context == nullptr);
}

Result<bool> Win32Window::EndPaint(DeviceContext /*context*/) {
    bool ok = ::EndPaint(dialog_, &paint_) != FALSE;
    return {ok, 0};
}

Result<std::int32_t> Win32Window::GetSystemMetrics(std::int32_t index) {
    return {::GetSystemMetrics(index), 0};
}

Result<bool> Win32Window::GetClientRect(ClientRect& rect) {
    RECT client{};
    bool ok = ::GetClientRect(dialog_, &client) != FALSE;
    rect = {client.left, client.top, client.right, client.bottom};
    return Returned(ok, !ok);
}

Result<bool> Win32Window::DrawIcon(DeviceContext context, std::int32_t x, std::int32_t y,
                                   IconHandle icon) {
    bool ok = ::DrawIcon(reinterpret_cast<HDC>(static_cast<std::uintptr_t>(context)), x, y,
                         reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon))) != FALSE;
    return Returned(ok, !ok);
}

// --- Language, code page, version resource ----------------------------------------

Result<std::uint16_t> Win32Window::GetSystemDefaultLangID() {
    return {::GetSystemDefaultLangID(), 0};
}

Result<std::int32_t> Win32Window::MultiByteToWideChar(std::uint32_t codePage,
                                                      std::string_view bytes,
                                                      std::span<char16_t> buffer) {
    int units = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      reinterpret_cast<wchar_t*>(buffer.data()),
                                      static_cast<int>(buffer.size()));
    return Returned<std::int32_t>(units, units == 0);
}

Result<std::uint32_t> Win32Window::GetFileVersionInfoSizeW(std::u16string_view path) {
    std::wstring file = Wide(path);
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    return Returned<std::uint32_t>(size, size == 0);
}

Result<bool> Win32Window::GetFileVersionInfoW(std::u16string_view path,
                                              std::span<std::uint8_t> block) {
    std::wstring file = Wide(path);
    bool ok = ::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(block.size()),
                                    block.data()) != FALSE;
    return Returned(ok, !ok);
}

Result<bool> Win32Window::VerQueryValueW(std::span<const std::uint8_t> block,
                                         std::u16string_view subBlock, FixedFileInfo& info) {
    std::wstring name = Wide(subBlock);
    void* value = nullptr;
    UINT length = 0;
    bool ok = ::VerQueryValueW(block.data(), name.c_str(), &value, &length) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    // Only a whole fixed record is taken over.
    if (!ok || value == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
        return {false, result.error};
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    info = {fixed->dwSignature,     fixed->dwStrucVersion,     fixed->dwFileVersionMS,
            fixed->dwFileVersionLS, fixed->dwProductVersionMS, fixed->dwProductVersionLS,
            fixed->dwFileFlagsMask, fixed->dwFileFlags,        fixed->dwFileOS,
            fixed->dwFileType,      fixed->dwFileSubtype,      fixed->dwFileDateMS,
            fixed->dwFileDateLS};
    return {true, 0};
}

}  // namespace tw::platform::win32
