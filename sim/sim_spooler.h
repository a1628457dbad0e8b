// The Spooler area of the seam, served by the simulated machine for one
// simulated process.
#pragma once

#include "platform/spooler.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"

namespace tw::sim {

class SimSpooler : public platform::Spooler {
  public:
    SimSpooler(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    // Printer drivers: the machine's driver models.
    platform::Result<bool> DeletePrinterDriverExW(std::u16string_view driverName,
                                                  std::uint32_t deleteFlag,
                                                  std::uint32_t versionFlag) override;
    platform::Result<bool> EnumPortsW(std::span<std::uint8_t> buffer,
                                      std::vector<platform::PortInfo1>& ports,
                                      std::uint32_t& needed, std::uint32_t& returned) override;

    // Printer queues and the driver directory (the queues' and files' removal).
    platform::Result<bool> EnumPrintersW(std::uint32_t flags, std::uint32_t bufferBytes,
                                         std::vector<platform::PrinterInfo2>& printers,
                                         std::uint32_t& bytesNeeded) override;
    platform::Result<bool> OpenPrinterW(std::u16string_view printerName,
                                        std::uint32_t desiredAccess,
                                        platform::Handle& printer) override;
    platform::Result<bool> SetPrinterW(platform::Handle printer, std::uint32_t command) override;
    platform::Result<bool> GetPrinterW(platform::Handle printer, std::uint32_t bufferBytes,
                                       platform::PrinterInfo2& info,
                                       std::uint32_t& bytesNeeded) override;
    platform::Result<bool> DeletePrinter(platform::Handle printer) override;
    platform::Result<bool> ClosePrinter(platform::Handle printer) override;
    platform::Result<bool> GetPrinterDriverDirectoryW(std::span<char16_t> buffer,
                                                      std::uint32_t& bytesNeeded) override;

  private:
    SimMachine& m_;
    ProcessContext& process_;
};

}  // namespace tw::sim
