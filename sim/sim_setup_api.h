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

  private:
    [[maybe_unused]] SimMachine& m_;
    [[maybe_unused]] ProcessContext& process_;
};

}  // namespace tw::sim
