#include "sim/machine.h"

namespace tw::sim {

SimMachine::SimMachine(MachineConfig config) : random(config.seed), config_(config) {
    clock.advanceTo(config.startTime);
    files.addFolders(nativeSystemFolder());
    files.addFolders(u"C:\\Users\\operator\\AppData\\Local\\Temp");
}

}  // namespace tw::sim
