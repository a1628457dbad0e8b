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

  private:
    SimMachine& m_;
    [[maybe_unused]] ProcessContext& process_;
};

}  // namespace tw::sim
