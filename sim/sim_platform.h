// One simulated process's view of the machine: the seam areas, served by the
// simulated machine, bundled as the core expects them.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"
#include "sim/sim_registry.h"
#include "sim/sim_setup_api.h"
#include "sim/sim_spooler.h"
#include "sim/sim_window.h"

namespace tw::sim {

class SimPlatform {
  public:
    SimPlatform(SimMachine& machine, std::u16string_view image,
                std::u16string_view currentDirectory);
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    platform::Platform& platform() { return platform_; }
    ProcessContext& process() { return process_; }
    const ProcessContext& process() const { return process_; }

  private:
    ProcessContext process_;
    SimKernel kernel_;
    SimSetupApi setupApi_;
    SimSpooler spooler_;
    SimRegistry registry_;
    SimWindow window_;
    platform::Platform platform_;
};

}  // namespace tw::sim
