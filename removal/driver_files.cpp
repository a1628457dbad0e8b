#include "removal/driver_files.h"

#include <algorithm>

#include "platform/text_buffer.h"
#include "platform/win_codes.h"
#include "removal/reboot_fallback.h"

namespace tw::removal {
namespace {

using platform::Handle;
using platform::PathBuffer;
using platform::Procedure;

// The subfolder of the printer driver directory that holds version-3 drivers.
constexpr std::u16string_view kVersion3Folder = u"\\3\\";

// The system folder, as the system gives it (no backslash at the end).
bool ReadSystemFolder(platform::Kernel& kernel, PathBuffer& folder) {
    auto length = kernel.GetSystemDirectoryW(folder.writable());
    return length.value != 0 && folder.adoptFilled(length.value);
}

// "<printer driver directory>\3\". The directory is asked for with no server
// name, no environment and level 1; the buffer's size goes in bytes.
bool ReadDriverFileFolder(platform::Spooler& spooler, PathBuffer& folder) {
    std::uint32_t bytes = 0;
    std::span<char16_t> space = folder.writable();
    if (!spooler.GetPrinterDriverDirectoryW(space, bytes).value) {
        return false;
    }
    // The text the spooler wrote ends at its terminator; a buffer without one
    // was not filled and is not used.
    auto end = std::find(space.begin(), space.end(), u'\0');
    return folder.adoptFilled(static_cast<std::size_t>(end - space.begin())) &&
           folder.append(kVersion3Folder);
}

// Attributes set to archive alone (clearing read-only, hidden and system),
// then the deletion.
platform::Result<bool> DeleteFilePlainly(platform::Kernel& kernel, std::u16string_view path) {
    kernel.SetFileAttributesW(path, win::kFileAttributeArchive);
    return kernel.DeleteFileW(path);
}

// Deletes the port monitor library from the system folder. A 32-bit program
// on 64-bit Windows switches file-system redirection off around the deletion
// so that the library of the native system folder goes; where that cannot be
// done the library stays. Nothing here is reported.
void DeletePortMonitorLibrary(platform::Kernel& kernel, std::u16string_view systemFolder) {
    PathBuffer library;
    if (!library.appendAll({systemFolder, u"\\", kPortMonitorLibrary})) {
        return;
    }
    Handle kernel32 = kernel.GetModuleHandleW(u"kernel32").value;
    auto lookUp = [&](std::string_view name) {
        return kernel32 == platform::kNullHandle ? platform::kNoProcedure
                                                 : kernel.GetProcAddress(kernel32, name).value;
    };

    Procedure isWow64Process = lookUp("IsWow64Process");
    if (isWow64Process == platform::kNoProcedure) {
        DeleteFilePlainly(kernel, library.view());
        return;
    }
    std::int32_t wow64 = 0;
    kernel.IsWow64Process(isWow64Process, kernel.GetCurrentProcess().value, wow64);
    if (wow64 != 1) {
        DeleteFilePlainly(kernel, library.view());
        return;
    }

    // Redirection is switched off only when it can be switched back on:
    // left off, it would send the program's later uses of the system folder
    // (the setup library it loads from there, for one) to the 64-bit files.
    Procedure disable = lookUp("Wow64DisableWow64FsRedirection");
    Procedure revert = lookUp("Wow64RevertWow64FsRedirection");
    if (disable == platform::kNoProcedure || revert == platform::kNoProcedure) {
        return;
    }
    std::uintptr_t saved = 0;
    if (!kernel.Wow64DisableWow64FsRedirection(disable, saved).value) {
        return;
    }
    DeleteFilePlainly(kernel, library.view());
    kernel.Wow64RevertWow64FsRedirection(revert, saved);
}

// What a driver file's deletion means for the removal.
bool DriverFileGone(platform::Kernel& kernel, std::u16string_view folder,
                    std::u16string_view name) {
    PathBuffer path;
    if (!path.appendAll({folder, name})) {
        // A path that does not fit is never acted on: the file counts as one
        // that could not be removed.
        return false;
    }
    auto deleted = DeleteFilePlainly(kernel, path.view());
    return deleted.value || deleted.error == win::kErrorFileNotFound;
}

}  // namespace

void RunSpoolerCommand(platform::Platform& platform, std::uint32_t& commandStartTick,
                       std::u16string_view commandLine) {
    platform::Kernel& kernel = platform.kernel;
    commandStartTick = kernel.GetTickCount().value;
    platform::ProcessInformation command;
    const bool started = kernel.CreateProcessW(commandLine, win::kCreateNoWindow, command).value;
    if (started) {
        kernel.WaitForSingleObject(command.process, kCommandWaitLimit);
    }
    // Unsigned 32-bit differences: right across the tick counter's wrap.
    std::uint32_t elapsed = kernel.GetTickCount().value - commandStartTick;
    if (elapsed < kQuickCommand) {
        while (elapsed < kQuickCommandHold) {
            kernel.Sleep(std::min(kHoldPause, kQuickCommandHold - elapsed));
            elapsed = kernel.GetTickCount().value - commandStartTick;
        }
    }
    if (started) {
        kernel.CloseHandle(command.process);
        kernel.CloseHandle(command.thread);
    }
}

bool RemoveDriverFiles(platform::Platform& platform, std::uint32_t& commandStartTick) {
    platform::Kernel& kernel = platform.kernel;

    // The spooler is stopped only when it can be started again: both command
    // lines are built before the first runs. Without the system folder
    // neither command nor the library's path can be built, and that part is
    // left out; the driver files below are handled all the same.
    PathBuffer systemFolder;
    PathBuffer stop;
    PathBuffer start;
    if (ReadSystemFolder(kernel, systemFolder) &&
        stop.appendAll({systemFolder.view(), kStopSpooler}) &&
        start.appendAll({systemFolder.view(), kStartSpooler})) {
        RunSpoolerCommand(platform, commandStartTick, stop.view());
        DeletePortMonitorLibrary(kernel, systemFolder.view());
        RunSpoolerCommand(platform, commandStartTick, start.view());
    }

    // A driver directory that cannot be read leaves the driver files
    // unchecked: that is not reported as success but handled as a file that
    // stayed.
    PathBuffer folder;
    if (!ReadDriverFileFolder(platform.spooler, folder)) {
        RunRebootFallback(platform);
        return false;
    }
    for (std::u16string_view name : kDriverFiles) {
        if (!DriverFileGone(kernel, folder.view(), name)) {
            RunRebootFallback(platform);
            return false;
        }
    }
    return true;
}

}  // namespace tw::removal
