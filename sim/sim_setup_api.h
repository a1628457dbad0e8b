// The SetupApi area of the seam, served by the simulated machine for one
// simulated process.
#pragma once

#include "platform/setup_api.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"

namespace tw::sim {

class SimSetupApi : public platform::SetupApi {
  public:
    SimSetupApi(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    platform::Result<bool> SetupCopyOEMInfW(std::u16string_view sourceInf, std::uint32_t mediaType,
                                            std::uint32_t copyStyle,
                                            std::span<char16_t> destination,
                                            std::uint32_t& requiredSize,
                                            std::size_t& fileNamePart) override;

  private:
    SimMachine& m_;
    [[maybe_unused]] ProcessContext& process_;
};

}  // namespace tw::sim
