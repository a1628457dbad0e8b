// The Registry area of the seam, served by the simulated machine for one
// simulated process.
#pragma once

#include "platform/registry.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"

namespace tw::sim {

class SimRegistry : public platform::Registry {
  public:
    SimRegistry(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

  private:
    [[maybe_unused]] SimMachine& m_;
    [[maybe_unused]] ProcessContext& process_;
};

}  // namespace tw::sim
