// Windows' own programs that the installer starts, as simulated programs:
// net.exe (stops and starts the print spooler) and xcopy (copies a folder
// tree). Each is put in the system folder and, on 64-bit Windows, in the
// 32-bit system folder too, as Windows ships them.
#pragma once

#include <cstdint>
#include <optional>

#include "sim/machine.h"

namespace tw::sim {

// net.exe "stop spooler" / "start spooler": the service changes state when
// the command ends, `runTime` after its start. Exit code 2 when the service
// already was in that state, as the real one gives.
void AddNetExe(SimMachine& machine, Millis runTime);

struct XcopyBehaviour {
    Millis runTime = 1500;
    // Ends after `runTime` with this exit code having copied nothing (5: a
    // disk write error).
    std::optional<std::uint32_t> failsWith;
};

// xcopy "<source>" "<destination>" /E/R/Y: copies the tree below the source
// into the destination folder when it ends, replacing files, read-only ones
// too. Like the real one, when the destination folder does not exist it asks
// whether the destination is a file or a folder and waits for an answer that
// never comes; a destination below the source is a cyclic copy (exit code 4).
void AddXcopy(SimMachine& machine, XcopyBehaviour behaviour = {});

}  // namespace tw::sim
