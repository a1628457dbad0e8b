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

  private:
    [[maybe_unused]] SimMachine& m_;
    [[maybe_unused]] ProcessContext& process_;
};

}  // namespace tw::sim
