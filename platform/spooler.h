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

// The fields of a level-2 printer record (PRINTER_INFO_2) the program reads.
struct PrinterInfo2 {
    std::u16string printerName;  // pPrinterName
    std::u16string driverName;   // pDriverName; empty when the record has none
    std::uint32_t jobs = 0;      // cJobs
};

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

    // --- Printer queues and the driver directory (the queues' and files' removal)

    // EnumPrintersW with no server name, level 2, into a caller's buffer of
    // `bufferBytes` bytes. The records fit, or the call fails with
    // ERROR_INSUFFICIENT_BUFFER and `bytesNeeded` holds the size needed. Sizes
    // are those of the 32-bit layout: 84 bytes a record, then its strings.
    virtual Result<bool> EnumPrintersW(std::uint32_t flags, std::uint32_t bufferBytes,
                                       std::vector<PrinterInfo2>& printers,
                                       std::uint32_t& bytesNeeded) = 0;
    // Opens a printer with defaults that give no data type, no device mode and
    // `desiredAccess`. `printer` is null on failure.
    virtual Result<bool> OpenPrinterW(std::u16string_view printerName, std::uint32_t desiredAccess,
                                      Handle& printer) = 0;
    // SetPrinterW at level 0 with no printer data: a control command
    // (PRINTER_CONTROL_PURGE, ...).
    virtual Result<bool> SetPrinterW(Handle printer, std::uint32_t command) = 0;
    // GetPrinterW at level 2 into a caller's buffer of `bufferBytes` bytes
    // (0: no buffer, the size query). Too small: ERROR_INSUFFICIENT_BUFFER
    // with `bytesNeeded`, in the 32-bit layout as for EnumPrintersW.
    virtual Result<bool> GetPrinterW(Handle printer, std::uint32_t bufferBytes, PrinterInfo2& info,
                                     std::uint32_t& bytesNeeded) = 0;
    virtual Result<bool> DeletePrinter(Handle printer) = 0;
    virtual Result<bool> ClosePrinter(Handle printer) = 0;
    // The printer driver directory of the local server for the caller's own
    // environment, level 1, written with its terminator into `buffer`, whose
    // size goes to the system in bytes. `bytesNeeded`: the bytes copied, or
    // those needed when the buffer is too small (ERROR_INSUFFICIENT_BUFFER).
    virtual Result<bool> GetPrinterDriverDirectoryW(std::span<char16_t> buffer,
                                                    std::uint32_t& bytesNeeded) = 0;

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
