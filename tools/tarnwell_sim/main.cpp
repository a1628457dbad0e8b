// tarnwell-sim: runs the package's programs on the simulated Windows machine
// and prints what happens, in virtual time. For now it starts setup.exe from a
// sample package folder whose install ends after a few seconds.
#include <cstdio>

#include "launcher/launcher.h"
#include "sim/sim_platform.h"

int main() {
    tw::sim::SimMachine machine;
    machine.processes.addSimpleProgram(u"C:\\Temp\\package Tarnwell\\setup.exe", 0);
    machine.processes.addSimpleProgram(u"C:\\Temp\\package Tarnwell\\Systems\\Install.exe", 4200);
    tw::sim::SimPlatform setup(machine, u"C:\\Temp\\package Tarnwell\\setup.exe",
                               u"C:\\Users\\operator");
    int exitCode = tw::launcher::RunSetup(setup.platform(), "silent");
    std::fputs(machine.trace.format().c_str(), stdout);
    std::printf("setup ended with exit code %d\n", exitCode);
    return 0;
}
