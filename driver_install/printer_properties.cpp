// OpenPrinterProperties: the printer's properties window, left open for the
// user to choose the port the engraver is really attached to.
#include "driver_install/driver_install.h"
#include "driver_install/folders.h"
#include "driver_install/texts.h"
#include "platform/text_buffer.h"
#include "platform/win_codes.h"

namespace tw::driver_install {

void OpenPrinterProperties(platform::Platform& platform,
                           platform::ProcessInformation& propertiesProcess) {
    platform::Kernel& kernel = platform.kernel;
    propertiesProcess = {};

    // <system folder>\rundll32 printui.dll,PrintUIEntry /n "Tarn-Well" /p
    // Never run without its system folder or cut short: the command cannot
    // be started then.
    platform::PathBuffer command;
    if (!ReadSystemDirectory(kernel, command) ||
        !command.appendAll(
            {kPrinterSetupEntry, kNameSwitch, kQuote, kModelName, kQuote, kPropertiesSwitch})) {
        platform.window.MessageBox(kProcessError);
        return;
    }
    if (!kernel.CreateProcessW(command.view(), 0, propertiesProcess).value) {
        platform.window.MessageBox(kProcessError);
        return;
    }
    // Until the window is up and waiting for the user; the process stays.
    kernel.WaitForInputIdle(propertiesProcess.process, win::kInfinite);
}

}  // namespace tw::driver_install
