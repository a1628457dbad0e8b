#include "sim/sim_platform.h"

#include "sim/sim_path.h"

namespace tw::sim {

SimPlatform::SimPlatform(SimMachine& machine, std::u16string_view image,
                         std::u16string_view currentDirectory)
    : process_{NormalizePath(image), NormalizePath(currentDirectory), true},
      kernel_(machine, process_),
      setupApi_(machine, process_),
      spooler_(machine, process_),
      registry_(machine, process_),
      window_(machine, process_),
      platform_{kernel_, setupApi_, spooler_, registry_, window_} {}

}  // namespace tw::sim
