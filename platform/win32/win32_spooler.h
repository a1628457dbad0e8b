// The Spooler area forwarded to the real system.
#pragma once

#include "platform/spooler.h"

namespace tw::platform::win32 {

class Win32Spooler : public Spooler {
  public:
    // Printer drivers.
    Result<bool> DeletePrinterDriverExW(std::u16string_view driverName, std::uint32_t deleteFlag,
                                        std::uint32_t versionFlag) override;
    Result<bool> EnumPortsW(std::span<std::uint8_t> buffer, std::vector<PortInfo1>& ports,
                            std::uint32_t& needed, std::uint32_t& returned) override;
};

}  // namespace tw::platform::win32
