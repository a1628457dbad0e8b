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
// HKEY_LOCAL_MACHINE: (HKEY)(ULONG_PTR)((LONG)0x80000002), so sign-extended
// where pointers are 64 bits wide.
inline constexpr KeyHandle kHkeyLocalMachine{static_cast<std::uintptr_t>(
    static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000002u)))};

class Registry {
  public:
    virtual ~Registry() = default;

    // --- Deleting a key tree and the user name (the device key's removal) -----

    // Deletes `subKey` of `root` with all its subkeys and values. Returns the
    // status itself (0 or a Windows error code), as the function does; the
    // error field holds the same code.
    virtual Result<std::uint32_t> SHDeleteKeyW(KeyHandle root, std::u16string_view subKey) = 0;

    // The name of the user the program runs as. `size` holds the buffer's
    // size in characters on entry; on success the characters written with
    // the terminator, on ERROR_INSUFFICIENT_BUFFER the size needed.
    virtual Result<bool> GetUserNameW(std::span<char16_t> buffer, std::uint32_t& size) = 0;

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
