// The Spooler area forwarded to the real system.
#pragma once

#include "platform/spooler.h"

namespace tw::platform::win32 {

class Win32Spooler : public Spooler {
  public:
    // Printer drivers.
    Result<bool> DeletePrinterDriverExW(std::u16string_view driverName, std::uint32_t deleteFlag,
                                        std::uint32_t versionFlag) override;
};

}  // namespace tw::platform::win32
