// The package's access-control tool, "Config.exe" of its systems folder, as a
// program of the simulated machine. Called as
//   Config.exe -on hklm\<key> -ot reg -actn ace -ace n:\<user>;p:full
// it gives that user full access to that key of the simulated registry when
// it ends (after its run time). Any other command line, a trustee argument
// split by an unquoted blank among them, makes it end with exit code 1 and
// change nothing; a key that is not there is left as it is.
#pragma once

#include <string_view>

#include "sim/machine.h"

namespace tw::sim {

inline constexpr Millis kAccessToolRunTime = 700;

// Registers the tool at `path` (its file put on disk).
void AddAccessControlTool(SimMachine& machine, std::u16string_view path,
                          Millis runTime = kAccessToolRunTime);

}  // namespace tw::sim
