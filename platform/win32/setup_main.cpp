// Entry point of setup.exe. The narrow WinMain receives the argument text as
// 8-bit characters, with the program name and the blanks after it removed by
// the start-up code; the launcher widens it byte by byte.
#include <windows.h>

#include "launcher/launcher.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR arguments, int /*show*/) {
    tw::platform::win32::Win32Platform system;
    return tw::launcher::RunSetup(system.platform(), arguments != nullptr ? arguments : "");
}
