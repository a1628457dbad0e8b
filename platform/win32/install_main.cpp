// Entry point of Install.exe. The wide WinMain receives the command line with
// the program name and the blanks after it removed, as the wizard reads it.
#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "wizard/install_app.h"
#include "wizard/subsystem_operations.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPWSTR commandLine,
                    int /*show*/) {
    tw::platform::win32::Win32Platform system;
    tw::wizard::SubsystemOperations operations(system.platform());
    tw::wizard::CInstallApp app(
        system.platform(), operations,
        tw::platform::win32::Utf16(commandLine != nullptr ? commandLine : L""));
    // The application object ends the program once the dialog has closed;
    // the exit code carries no meaning.
    app.InitInstance();
    return 0;
}
