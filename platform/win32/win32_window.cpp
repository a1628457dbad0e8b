#include "platform/win32/win32_window.h"

#include "platform/win32/wide.h"

namespace tw::platform::win32 {

Win32Window::Win32Window() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    applicationName_ = name.substr(0, name.rfind(L'.'));
}

Result<std::int32_t> Win32Window::MessageBox(std::u16string_view text) {
    std::wstring body = Wide(text);
    int answer = ::MessageBoxW(dialog_, body.c_str(), applicationName_.c_str(), MB_OK);
    return {answer, answer == 0 ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

}  // namespace tw::platform::win32
