#include "platform/win32/win32_setup_api.h"

#include <setupapi.h>
#include <windows.h>

namespace tw::platform::win32 {

Result<std::int32_t> Win32SetupApi::SetupPromptReboot() {
    int flags = ::SetupPromptReboot(nullptr, nullptr, FALSE);
    return {flags, flags == -1 ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

}  // namespace tw::platform::win32
