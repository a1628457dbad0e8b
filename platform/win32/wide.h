// Conversions at the boundary between the core's UTF-16 text and handles and
// the Win32 types. wchar_t is 16 bits wide on Windows, so text is copied unit
// for unit.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/handle.h"

namespace tw::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string Utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

inline HANDLE ToWin32(Handle handle) {
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
}

inline Handle FromWin32(HANDLE handle) {
    return Handle{reinterpret_cast<std::uintptr_t>(handle)};
}

inline HWND ToWin32(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

}  // namespace tw::platform::win32
