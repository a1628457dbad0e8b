// Removal of the engraver's USB printer enumeration key. Its security lets
// only the system change it, so the package's access-control tool first gives
// the current user full access to it; then the key is deleted with its tree.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace tw::removal {

// The device key under HKEY_LOCAL_MACHINE.
inline constexpr std::u16string_view kDeviceKeyParent =
    u"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\";
inline constexpr std::u16string_view kDeviceKeyName = u"VELMORANTE_Tarnwell";

// The tool's time to end before the key is deleted all the same.
inline constexpr std::uint32_t kAccessToolWait = 5000;

inline constexpr std::u16string_view kUserNameMissing = u"INFO: Unable to find user name";

// Has the access-control tool grant the current user full access to the
// device key, then deletes the key with its subkeys and values. Failures are
// not reported, but for a user name that cannot be read.
void RemoveDeviceKey(platform::Platform& platform);

}  // namespace tw::removal
