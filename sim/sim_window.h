// The Window area of the seam on the simulated machine: the wizard dialog's
// services, with what the user sees recorded on the simulated desktop.
#pragma once

#include <string>

#include "platform/window.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"

namespace tw::sim {

// The handle of the simulated wizard dialog, the owner of its message boxes.
inline constexpr platform::WindowHandle kSimDialogWindow{0x0001'0010};

class SimWindow : public platform::Window {
  public:
    SimWindow(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    platform::Result<std::int32_t> MessageBox(std::u16string_view text) override;

    // The program file's name without its extension ("Install"): the caption
    // of the dialog's message boxes.
    std::u16string applicationName() const;

  private:
    SimMachine& m_;
    ProcessContext& process_;
};

}  // namespace tw::sim
