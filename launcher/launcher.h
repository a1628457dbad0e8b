// setup: makes the package root the current folder, starts Systems\Install.exe
// there with setup's own arguments, waits for it to end, and ends with 0.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace tw::launcher {

// The message shown when install cannot be started.
inline constexpr std::u16string_view kProcessErrorFormat = u"Setup process error = %d";

// Runs the launcher. `arguments` is the 8-bit argument text as the entry point
// receives it (the program name and the blanks after it already removed).
// Returns the process exit code, which is always 0.
int RunSetup(platform::Platform& platform, std::string_view arguments);

}  // namespace tw::launcher
