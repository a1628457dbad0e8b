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

namespace {

// The predefined roots are 32-bit values that the system sign-extends in a
// 64-bit build (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 there); keys the
// program opened are plain handles.
HKEY ToHkey(KeyHandle key) {
    auto value = static_cast<std::uintptr_t>(key);
    if (value >= 0x80000000u && value <= 0x80000006u) {
        return reinterpret_cast<HKEY>(
            static_cast<LONG_PTR>(static_cast<LONG>(static_cast<std::uint32_t>(value))));
    }
    return reinterpret_cast<HKEY>(value);
}

Result<std::uint32_t> Status(LSTATUS status) {
    auto code = static_cast<std::uint32_t>(status);
    return {code, code};
}

}  // namespace

Result<std::uint32_t> Win32Registry::RegOpenKeyExW(KeyHandle root, std::u16string_view subKey,
                                                   std::uint32_t desiredAccess, KeyHandle& key) {
    std::wstring path = Wide(subKey);
    HKEY opened = nullptr;
    LSTATUS status = ::RegOpenKeyExW(ToHkey(root), path.c_str(), 0, desiredAccess, &opened);
    key = KeyHandle{status == ERROR_SUCCESS ? reinterpret_cast<std::uintptr_t>(opened) : 0};
    return Status(status);
}

Result<std::uint32_t> Win32Registry::RegSetValueExW(KeyHandle key, std::u16string_view name,
                                                    std::uint32_t type,
                                                    std::span<const std::uint8_t> data) {
    std::wstring valueName = Wide(name);
    return Status(::RegSetValueExW(ToHkey(key), valueName.c_str(), 0, type, data.data(),
                                   static_cast<DWORD>(data.size())));
}

Result<std::uint32_t> Win32Registry::RegCloseKey(KeyHandle key) {
    return Status(::RegCloseKey(ToHkey(key)));
}

}  // namespace tw::platform::win32
