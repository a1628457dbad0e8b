#include "platform/win32/win32_registry.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlwapi.h>

#include <algorithm>

#include "platform/win32/wide.h"

namespace tw::platform::win32 {

// --- Deleting a key tree and the user name -------------------------------------------

Result<std::uint32_t> Win32Registry::SHDeleteKeyW(KeyHandle root, std::u16string_view subKey) {
    std::wstring key = Wide(subKey);
    auto status = static_cast<std::uint32_t>(
        ::SHDeleteKeyW(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(root)), key.c_str()));
    return {status, status};
}

Result<bool> Win32Registry::GetUserNameW(std::span<char16_t> buffer, std::uint32_t& size) {
    DWORD length = std::min<DWORD>(size, static_cast<DWORD>(buffer.size()));
    bool ok = ::GetUserNameW(reinterpret_cast<LPWSTR>(buffer.data()), &length) != FALSE;
    Result<bool> result = {ok, ok ? 0u : static_cast<std::uint32_t>(::GetLastError())};
    size = length;
    return result;
}

}  // namespace tw::platform::win32
