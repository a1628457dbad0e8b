#include "tools/tarnwell_sim/real_programs.h"

#include "launcher/launcher.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"
#include "wizard/install_app.h"
#include "wizard/subsystem_operations.h"
#include "wizard/traced_operations.h"

namespace tw::tarnwell_sim {

int RunRealSetup(sim::SimMachine& machine, const std::u16string& image,
                 const std::u16string& currentDirectory, const std::string& arguments) {
    sim::SimPlatform setup(machine, sim::NormalizePath(image), currentDirectory);
    return launcher::RunSetup(setup.platform(), arguments);
}

void RunRealWizard(sim::SimMachine& machine, const std::u16string& image,
                   const std::u16string& currentDirectory, const std::u16string& arguments) {
    sim::SimPlatform install(machine, sim::NormalizePath(image), currentDirectory);
    // Each operation the wizard runs shows in the timeline, with its result.
    wizard::SubsystemOperations real(install.platform());
    wizard::TracedOperations operations(
        real, [&machine](const std::string& text) { machine.trace.step(text); });
    wizard::CInstallApp app(install.platform(), operations, arguments);
    app.InitInstance();
}

sim::ProgramBehaviour RealWizardProgram(sim::SimMachine& machine) {
    return [&machine](const sim::ProcessLaunch& launch) {
        RunRealWizard(machine, launch.image, launch.currentDirectory, launch.arguments);
        // Install.exe's exit code carries no meaning: it always ends with 0.
        return sim::ProgramRun{};
    };
}

}  // namespace tw::tarnwell_sim
