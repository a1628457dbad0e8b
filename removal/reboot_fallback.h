// The way out when a driver file cannot be removed now: the package is copied
// to a folder under the temporary-files folder, the copy's setup is set to run
// once at the next logon, and the user is offered a restart of the computer.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace tw::removal {

inline constexpr std::u16string_view kFallbackFolderName = u"package Tarnwell";
// Used when the temporary-files folder cannot be read, or is too long to
// hold the fallback folder.
inline constexpr std::u16string_view kTempFolderDefault = u"C:\\Temp\\";
inline constexpr std::u16string_view kRunOnceKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr std::u16string_view kRestartValueName = u"RestartSetupLaser";
inline constexpr std::u16string_view kSetupProgram = u"\\setup.exe";

// How long the package copy may take. Only a copy that has ended, and ended
// well, is set to run at the next logon.
inline constexpr std::uint32_t kCopyWaitLimit = 300000;

inline constexpr std::u16string_view kCreateDirectoryError = u"CreateDirectory error";
inline constexpr std::u16string_view kXcopyErrorFormat = u"xcopy error = %d";
inline constexpr std::u16string_view kXcopyExitCodeFormat = u"xcopy exit code = %d";
inline constexpr std::u16string_view kXcopyNotEndedMessage = u"xcopy did not end";

// Copies the package (the current folder) into the fallback folder, writes
// the restart entry when the copy is complete, and offers the restart.
void RunRebootFallback(platform::Platform& platform);

}  // namespace tw::removal
