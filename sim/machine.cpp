#include "sim/machine.h"

namespace tw::sim {

SimMachine::SimMachine(MachineConfig config) : random(config.seed), config_(config) {
    clock.advanceTo(config.startTime);
    files.addFolders(nativeSystemFolder());
    files.addFolders(u"C:\\Users\\operator\\AppData\\Local\\Temp");
    if (config.windows64) {
        files.addFolders(wow64SystemFolder());
    }
    // The printer driver directories with their version-3 folders, as every
    // Windows has them: the 32-bit one, and the native one on 64-bit Windows.
    files.addFolders(SpoolerModel::DriverDirectory(nativeSystemFolder(), true) + u"\\3");
    if (config.windows64) {
        files.addFolders(SpoolerModel::DriverDirectory(nativeSystemFolder(), false) + u"\\3");
    }
    files.addFolders(driverStore.infFolder());
    printerSetup.addRundll32(processes, nativeSystemFolder() + u"\\rundll32.exe");
    if (config.windows64) {
        printerSetup.addRundll32(processes, wow64SystemFolder() + u"\\rundll32.exe");
    }
}

}  // namespace tw::sim
