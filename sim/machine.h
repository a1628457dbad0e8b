// The simulated Windows machine: one virtual clock, one trace, one fault plan,
// and the models of what the programs touch. Deterministic: the same scenario
// and seed give the same run every time.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "sim/desktop.h"
#include "sim/dialog_window.h"
#include "sim/driver_store.h"
#include "sim/fault_plan.h"
#include "sim/file_system.h"
#include "sim/global_memory.h"
#include "sim/handle_table.h"
#include "sim/inf_folder.h"
#include "sim/module_table.h"
#include "sim/ports.h"
#include "sim/printer_setup.h"
#include "sim/process_table.h"
#include "sim/program_resources.h"
#include "sim/registry_model.h"
#include "sim/restart_prompt.h"
#include "sim/sim_user.h"
#include "sim/spooler_model.h"
#include "sim/system_locale.h"
#include "sim/trace.h"
#include "sim/usb_devices.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

struct MachineConfig {
    Millis startTime = 60'000;  // the clock at the scenario's start
    bool windows64 = true;      // a 64-bit Windows (WOW64 for 32-bit programs)
    std::uint64_t seed = 1;
};

class SimMachine {
  public:
    explicit SimMachine(MachineConfig config = {});
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    const MachineConfig& config() const { return config_; }

    VirtualClock clock;
    Trace trace{clock};
    FaultPlan faults;
    FileSystem files{trace};
    HandleTable handles;
    ProcessTable processes{clock, trace, files};
    Desktop desktop{clock, trace};
    ModuleTable modules{files, trace, u"C:\\Windows\\System32"};
    RegistryModel registry{trace};
    GlobalMemory memory;
    // USB printer-class interfaces and the engraver behind one (or more).
    UsbDevices usb{clock, trace};
    std::mt19937_64 random;
    // The wizard's window: the system's language and code page, the
    // programs' resources, the dialogs shown and the user in front of them.
    SystemLocale locale;
    ResourceTable resources;
    DialogWindows dialogs{clock, trace};
    SimUser user{clock, trace, dialogs};

    // Driver packages and the user (removal of an earlier installation): the
    // INF folder and the account the programs run as.
    InfFolder infs{files, trace, u"C:\\Windows"};
    std::u16string userName = u"operator";
    // Printer queues, driver models, driver files and the reboot fallback:
    // the print spooler, the restart question and the temporary-files folder.
    SpoolerModel spooler{clock, trace, files};
    RestartPrompt restartPrompt;
    std::u16string tempPath = u"C:\\Users\\operator\\AppData\\Local\\Temp\\";
    // Driver installation: the driver store (copies into the INF folder), the
    // local ports and the printer set-up entry point (rundll32 of the system
    // folder), which installs its printers into the spooler.
    DriverStore driverStore{files, trace, u"C:\\Windows\\inf"};
    LocalPorts ports;
    PrinterSetup printerSetup{clock, files, trace, ports, spooler};
    // The 32-bit system folder of 64-bit Windows.
    std::u16string wow64SystemFolder() const { return u"C:\\Windows\\SysWOW64"; }

    // Standard folders ("C:\Windows", "C:\Windows\System32").
    std::u16string windowsFolder() const { return u"C:\\Windows"; }
    std::u16string nativeSystemFolder() const { return u"C:\\Windows\\System32"; }

  private:
    MachineConfig config_;
};

}  // namespace tw::sim
