// The Spooler area forwarded to the real system.
#pragma once

#include "platform/spooler.h"

namespace tw::platform::win32 {

class Win32Spooler : public Spooler {
  public:
    Result<bool> EnumPortsW(std::span<std::uint8_t> buffer, std::vector<PortInfo1>& ports,
                            std::uint32_t& needed, std::uint32_t& returned) override;
};

}  // namespace tw::platform::win32
