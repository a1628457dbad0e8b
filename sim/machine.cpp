#include "sim/machine.h"

namespace tw::sim {

SimMachine::SimMachine(MachineConfig config) : random(config.seed), config_(config) {
    clock.advanceTo(config.startTime);
    files.addFolders(nativeSystemFolder());
    files.addFolders(u"C:\\Users\\operator\\AppData\\Local\\Temp");
    files.addFolders(driverStore.infFolder());
    printerSetup.addRundll32(processes, nativeSystemFolder() + u"\\rundll32.exe");
    if (config.windows64) {
        printerSetup.addRundll32(processes, windowsFolder() + u"\\SysWOW64\\rundll32.exe");
    }
}

}  // namespace tw::sim
