// The Registry area forwarded to the real system.
#pragma once

#include "platform/registry.h"

namespace tw::platform::win32 {

class Win32Registry : public Registry {
  public:
    // Deleting a key tree and the user name.
    Result<std::uint32_t> SHDeleteKeyW(KeyHandle root, std::u16string_view subKey) override;
    Result<bool> GetUserNameW(std::span<char16_t> buffer, std::uint32_t& size) override;
    // Keys and values (the restart entry).
    Result<std::uint32_t> RegOpenKeyExW(KeyHandle root, std::u16string_view subKey,
                                        std::uint32_t desiredAccess, KeyHandle& key) override;
    Result<std::uint32_t> RegSetValueExW(KeyHandle key, std::u16string_view name,
                                         std::uint32_t type,
                                         std::span<const std::uint8_t> data) override;
    Result<std::uint32_t> RegCloseKey(KeyHandle key) override;
};

}  // namespace tw::platform::win32
