// The Registry area of the seam: keys and values, deleting a key tree, the user name (advapi32,
// shlwapi). One method per system function, named after it, returning its value with the code
// GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

// A registry key: one of the predefined roots, or a key the program opened.
enum class KeyHandle : std::uintptr_t {};
inline constexpr KeyHandle kHkeyLocalMachine{0x80000002};

class Registry {
  public:
    virtual ~Registry() = default;

    // --- Keys and values (the restart entry) -----------------------------------
    // Each returns the status itself (0 or a Windows error code), as the
    // function does; the error field holds the same code.

    // Opens `subKey` of `root` with `desiredAccess` (no options). `key` is
    // null on failure.
    virtual Result<std::uint32_t> RegOpenKeyExW(KeyHandle root, std::u16string_view subKey,
                                                std::uint32_t desiredAccess, KeyHandle& key) = 0;
    // Sets value `name` of an open key to `type` and the raw `data` (for
    // REG_SZ: the UTF-16 text with its terminator, two bytes a unit).
    virtual Result<std::uint32_t> RegSetValueExW(KeyHandle key, std::u16string_view name,
                                                 std::uint32_t type,
                                                 std::span<const std::uint8_t> data) = 0;
    virtual Result<std::uint32_t> RegCloseKey(KeyHandle key) = 0;
};

}  // namespace tw::platform
