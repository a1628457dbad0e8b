// The Spooler area of the seam: printers and their jobs, printer drivers, the driver directory,
// ports (winspool). One method per system function, named after it, returning its value with the
// code GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

// A port as level 1 of the port enumeration gives it (PORT_INFO_1W): its name.
struct PortInfo1 {
    std::u16string name;
};

class Spooler {
  public:
    virtual ~Spooler() = default;

    // --- Printer drivers (the driver model's removal) -------------------------

    // Removes the driver model `driverName` from the local print server, for
    // the default environment (no server, no environment name).
    virtual Result<bool> DeletePrinterDriverExW(std::u16string_view driverName,
                                                std::uint32_t deleteFlag,
                                                std::uint32_t versionFlag) = 0;
    // --- Ports -----------------------------------------------------------------

    // The local machine's ports at level 1 (no server name). The caller's
    // block `buffer` stands for the one the system fills: its size is what
    // the call may use. The ports come back as records in `ports`, in the
    // system's order; `returned` is how many were filled in (0 on failure).
    // `needed` is the size in bytes of the 32-bit layout: a 4-byte
    // PORT_INFO_1W per port, then each name with its terminator. A block
    // smaller than that fails with ERROR_INSUFFICIENT_BUFFER.
    virtual Result<bool> EnumPortsW(std::span<std::uint8_t> buffer, std::vector<PortInfo1>& ports,
                                    std::uint32_t& needed, std::uint32_t& returned) = 0;
};

}  // namespace tw::platform
