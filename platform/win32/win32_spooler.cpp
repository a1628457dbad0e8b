#include "platform/win32/win32_spooler.h"

#include <windows.h>
// After windows.h, which it needs.
#include <winspool.h>

#include "platform/win32/wide.h"

namespace tw::platform::win32 {

// --- Printer drivers ---------------------------------------------------------------

Result<bool> Win32Spooler::DeletePrinterDriverExW(std::u16string_view driverName,
                                                  std::uint32_t deleteFlag,
                                                  std::uint32_t versionFlag) {
    std::wstring name = Wide(driverName);
    // Some spoolers fail this call without setting an error code: the code
    // left from an earlier call must not show through.
    ::SetLastError(0);
    bool ok =
        ::DeletePrinterDriverExW(nullptr, nullptr, name.data(), deleteFlag, versionFlag) != FALSE;
    return {ok, ok ? 0u : static_cast<std::uint32_t>(::GetLastError())};
}

}  // namespace tw::platform::win32
