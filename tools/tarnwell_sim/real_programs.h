// The package's two programs as real code on the simulated machine: the
// launcher, and the wizard with the real operations of every subsystem.
#pragma once

#include <string>

#include "sim/machine.h"
#include "sim/process_table.h"

namespace tw::tarnwell_sim {

// Runs setup.exe at `image`, started in `currentDirectory` with 8-bit
// `arguments`; returns its exit code.
int RunRealSetup(sim::SimMachine& machine, const std::u16string& image,
                 const std::u16string& currentDirectory, const std::string& arguments);

// Runs Install.exe at `image` until its dialog has closed. `arguments` is the
// command line after the program's name, as its WinMain receives it.
void RunRealWizard(sim::SimMachine& machine, const std::u16string& image,
                   const std::u16string& currentDirectory, const std::u16string& arguments);

// The behaviour of Install.exe as a program of the machine: started (by
// setup), it runs the real wizard to its end within its start, so the
// process ends at the moment its dialog has closed.
sim::ProgramBehaviour RealWizardProgram(sim::SimMachine& machine);

}  // namespace tw::tarnwell_sim
