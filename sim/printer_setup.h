// The system's printer set-up entry point on the simulated machine: rundll32
// of the system folder with "printui.dll,PrintUIEntry" and its switches.
//
//   /if /f <INF> /m <model> /r <port> [/b <name>]
//       installs a printer of the model from the INF on the port, named after
//       the model (or /b): the model joins the print server's drivers and a
//       queue of that name joins the spooler's. The printer exists once the
//       command has ended, after its run time. The INF must exist and name the
//       model, the port must be a local port, the spooler must run and no
//       printer may have that name yet; otherwise the command installs
//       nothing, as it does when a scenario says so.
//   /n <name> /p
//       opens the properties window of that printer (or, when there is no
//       such printer, the entry point's own error window). The window waits
//       for user input a short time after the start and stays open: the
//       process does not end by itself.
//
// Switch values are read from the argument text with the system's command
// line rules (double quotes group, backslashes before a quote escape it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/file_system.h"
#include "sim/ports.h"
#include "sim/process_table.h"
#include "sim/spooler_model.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

// What a scenario sets about the entry point.
struct PrinterSetupBehaviour {
    Millis installRunTime = 6'000;        // "/if" ends after this (set it long to hang)
    bool installsNothing = false;         // "/if" ends without a printer
    Millis propertiesReadyAfter = 1'500;  // "/p": its window waits for input then
    Millis otherRunTime = 200;            // any other command
};

struct PropertiesWindow {
    Millis openedAt = 0;
    std::u16string printer;
    bool printerFound = false;  // false: the entry point's error window
};

class PrinterSetup {
  public:
    PrinterSetup(const VirtualClock& clock, FileSystem& files, Trace& trace,
                 const LocalPorts& ports, SpoolerModel& spooler)
        : clock_(clock), files_(files), trace_(trace), ports_(ports), spooler_(spooler) {}
    PrinterSetup(const PrinterSetup&) = delete;
    PrinterSetup& operator=(const PrinterSetup&) = delete;

    // Registers rundll32 at `path` as a program of the machine.
    void addRundll32(ProcessTable& processes, std::u16string_view path);

    PrinterSetupBehaviour behaviour;

    // Windows the properties commands opened, in order.
    const std::vector<PropertiesWindow>& windows() const { return windows_; }

  private:
    ProgramRun run(const ProcessLaunch& launch);
    ProgramRun install(const std::vector<std::u16string>& arguments);
    ProgramRun properties(const std::vector<std::u16string>& arguments);
    // Why the install would create no printer, or empty.
    std::string refusal(std::u16string_view inf, std::u16string_view model,
                        std::u16string_view port, std::u16string_view name) const;

    const VirtualClock& clock_;
    FileSystem& files_;
    Trace& trace_;
    const LocalPorts& ports_;
    SpoolerModel& spooler_;
    std::vector<PropertiesWindow> windows_;
};

}  // namespace tw::sim
