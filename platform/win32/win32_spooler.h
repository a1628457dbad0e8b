// The Spooler area forwarded to the real system. Records come back as typed
// records with the sizes a 32-bit program is given, whatever this build's
// pointer size.
#pragma once

#include "platform/spooler.h"

namespace tw::platform::win32 {

class Win32Spooler : public Spooler {
  public:
    // Printer drivers.
    Result<bool> DeletePrinterDriverExW(std::u16string_view driverName, std::uint32_t deleteFlag,
                                        std::uint32_t versionFlag) override;
    // Printer queues and the driver directory (the queues' and files' removal).
    Result<bool> EnumPrintersW(std::uint32_t flags, std::uint32_t bufferBytes,
                               std::vector<PrinterInfo2>& printers,
                               std::uint32_t& bytesNeeded) override;
    Result<bool> OpenPrinterW(std::u16string_view printerName, std::uint32_t desiredAccess,
                              Handle& printer) override;
    Result<bool> SetPrinterW(Handle printer, std::uint32_t command) override;
    Result<bool> GetPrinterW(Handle printer, std::uint32_t bufferBytes, PrinterInfo2& info,
                             std::uint32_t& bytesNeeded) override;
    Result<bool> DeletePrinter(Handle printer) override;
    Result<bool> ClosePrinter(Handle printer) override;
    Result<bool> GetPrinterDriverDirectoryW(std::span<char16_t> buffer,
                                            std::uint32_t& bytesNeeded) override;
    Result<bool> EnumPortsW(std::span<std::uint8_t> buffer, std::vector<PortInfo1>& ports,
                            std::uint32_t& needed, std::uint32_t& returned) override;
};

}  // namespace tw::platform::win32
