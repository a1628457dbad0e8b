// Driver installation: the driver package into the driver store (USB path),
// a printer of the driver model on a local port (Other path), and that
// printer's properties window. Operations of the wizard dialog, which calls
// each in one line; each shows its own failures in the dialog's message
// boxes. The driver's INF file is "kelvra.inf" in the current folder, the
// package root.
#pragma once

#include "platform/handle.h"
#include "platform/platform.h"

namespace tw::driver_install {

// Copies the package's INF into the driver store, so that the system installs
// the engraver's printer when the engraver next shows up on USB. Shows
// "Copy OEM error" when the copy fails or the INF's path cannot be named.
void InstallDriverPackage(platform::Platform& platform);

// Installs a printer of the driver model on the port the port rule chooses,
// through the system's printer set-up entry point, and waits without limit
// for that command to end. Returns false, after "No port exists", when no
// port qualifies; true otherwise, whether or not the command could be built
// and started ("System Directory error", "Process error") or installed
// anything.
bool InstallPrinterOnPort(platform::Platform& platform);

// Opens the properties window of the printer "Tarn-Well" in a process of its
// own and waits until that window is ready for input. The process is left
// running; its information goes to `propertiesProcess`, whose two handles
// the caller closes later. When the command cannot be built or started
// ("Process error"), `propertiesProcess` holds null handles and zero ids.
void OpenPrinterProperties(platform::Platform& platform,
                           platform::ProcessInformation& propertiesProcess);

}  // namespace tw::driver_install
