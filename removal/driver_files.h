// Removal of the driver files an earlier installation left on disk: the port
// monitor library in the system folder (with the print spooler stopped around
// its deletion) and the driver files in the printer driver directory. When a
// driver file cannot be removed, the package is copied to a folder under the
// temporary-files folder, set to run once at the next logon, and the user is
// offered a restart.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace tw::removal {

// The driver files, deleted in this order from "<driver directory>\3\".
inline constexpr std::array<std::u16string_view, 14> kDriverFiles = {
    u"kelvra.pcd",           u"kelvra.dll",           u"kelvraui.dll",
    u"velmoxis.dll",         u"alignment_test.las",   u"alignment_test_2.las",
    u"alignment_test_3.las", u"alignment_test_4.las", u"firmware_table.dos",
    u"firmware_table_2.dos", u"ktw_anglais.hlp",      u"ktw_francais.hlp",
    u"tickle_test.las",      u"focus_adjust.las",
};

inline constexpr std::u16string_view kPortMonitorLibrary = u"TarnwellMon.dll";
inline constexpr std::u16string_view kStopSpooler = u"\\net.exe stop spooler";
inline constexpr std::u16string_view kStartSpooler = u"\\net.exe start spooler";

// Spooler commands: waited for at most kCommandWaitLimit ms; one that ends (or
// cannot start) within kQuickCommand ms is held until kQuickCommandHold ms
// have passed since its launch, to give the service time to settle.
inline constexpr std::uint32_t kCommandWaitLimit = 10000;
inline constexpr std::uint32_t kQuickCommand = 1000;
inline constexpr std::uint32_t kQuickCommandHold = 5000;
// The hold gives up the processor in pauses of at most this length.
inline constexpr std::uint32_t kHoldPause = 100;

// Stops the spooler, deletes the port monitor library, starts the spooler,
// then deletes the driver files. Returns true when every driver file is gone
// (deleted now or absent already). Returns false after the fallback when one
// remained or could not be checked; the wizard then ends.
// `commandStartTick` is the wizard's m_commandStartTick: the tick of the last
// spooler command's launch.
bool RemoveDriverFiles(platform::Platform& platform, std::uint32_t& commandStartTick);

// Runs a spooler command without a window: stores the launch tick in
// `commandStartTick`, waits for the command at most kCommandWaitLimit ms, and
// holds a quick one until kQuickCommandHold ms have passed since the launch.
// A command still running after the wait is left to run on; a command that
// cannot start is not reported.
void RunSpoolerCommand(platform::Platform& platform, std::uint32_t& commandStartTick,
                       std::u16string_view commandLine);

}  // namespace tw::removal
