// The Registry area forwarded to the real system.
#pragma once

#include "platform/registry.h"

namespace tw::platform::win32 {

class Win32Registry : public Registry {
  public:
    // Deleting a key tree and the user name.
    Result<std::uint32_t> SHDeleteKeyW(KeyHandle root, std::u16string_view subKey) override;
    Result<bool> GetUserNameW(std::span<char16_t> buffer, std::uint32_t& size) override;
};

}  // namespace tw::platform::win32
