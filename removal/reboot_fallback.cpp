#include "removal/reboot_fallback.h"

#include <vector>

#include "platform/text_buffer.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::removal {
namespace {

using platform::PathBuffer;

// Room the fallback folder must leave in a path buffer: the restart entry is
// the folder in double quotes with "\setup.exe" before the closing quote.
constexpr std::size_t kRestartEntryExtra = kSetupProgram.size() + 2;

void ShowCode(platform::Platform& platform, std::u16string_view format, std::uint32_t code) {
    platform.window.MessageBox(platform::FormatCode(format, static_cast<std::int32_t>(code)));
}

// Creates a folder; one that exists already is fine. Any other failure is
// shown as "CreateDirectory error". Returns whether the folder is there.
bool EnsureFolder(platform::Platform& platform, std::u16string_view path) {
    auto created = platform.kernel.CreateDirectoryW(path);
    if (created.value || created.error == win::kErrorAlreadyExists) {
        return true;
    }
    platform.window.MessageBox(kCreateDirectoryError);
    return false;
}

// Whether a temporary-files folder can hold the fallback folder and the
// restart entry built on it.
bool LeavesRoomForFallback(const PathBuffer& temp) {
    return temp.size() + kFallbackFolderName.size() + kRestartEntryExtra + 1 <=
           PathBuffer::kCapacity;
}

// Puts the fallback folder's path in `folder` and creates it. The
// temporary-files folder comes from the system; when it cannot be read, or
// is too long to hold the fallback folder, "C:\Temp\" is used and created.
// Returns whether the fallback folder is there.
bool PrepareFallbackFolder(platform::Platform& platform, PathBuffer& folder) {
    auto length = platform.kernel.GetTempPathW(folder.writable());
    bool fromSystem =
        length.value != 0 && folder.adoptFilled(length.value) && LeavesRoomForFallback(folder);
    if (!fromSystem) {
        (void)folder.assign(kTempFolderDefault);
        EnsureFolder(platform, folder.view());
    }
    (void)folder.append(kFallbackFolderName);  // room checked above
    return EnsureFolder(platform, folder.view());
}

// Copies the package, the current folder, into `folder` with xcopy and waits
// for the copy to end. Returns true only for a copy that ended with exit code
// 0; every other outcome is shown.
bool CopyPackage(platform::Platform& platform, const PathBuffer& folder) {
    platform::Kernel& kernel = platform.kernel;
    PathBuffer current;
    auto length = kernel.GetCurrentDirectoryW(current.writable());
    if (length.value == 0) {
        ShowCode(platform, kXcopyErrorFormat, length.error);
        return false;
    }
    PathBuffer command;
    // The current folder is used as the system gives it: at a drive's root it
    // ends in a backslash, right before the closing quote.
    if (!current.adoptFilled(length.value) ||
        !command.appendAll({u"xcopy \"", current.view(), u"\" \"", folder.view(), u"\" /E/R/Y"})) {
        ShowCode(platform, kXcopyErrorFormat, win::kErrorFilenameExcedRange);
        return false;
    }

    platform::ProcessInformation copy;
    auto started = kernel.CreateProcessW(command.view(), win::kCreateNoWindow, copy);
    if (!started.value) {
        ShowCode(platform, kXcopyErrorFormat, started.error);
        return false;
    }
    const bool ended =
        kernel.WaitForSingleObject(copy.process, kCopyWaitLimit).value == win::kWaitObject0;
    std::uint32_t exitCode = 0;
    platform::Result<bool> read{false, 0};
    if (ended) {
        read = kernel.GetExitCodeProcess(copy.process, exitCode);
    }
    kernel.CloseHandle(copy.process);
    kernel.CloseHandle(copy.thread);
    if (!ended) {
        // Left to run on; its copy is not complete and is not set to run.
        platform.window.MessageBox(kXcopyNotEndedMessage);
        return false;
    }
    if (!read.value) {
        ShowCode(platform, kXcopyErrorFormat, read.error);
        return false;
    }
    if (exitCode != 0) {
        ShowCode(platform, kXcopyExitCodeFormat, exitCode);
        return false;
    }
    return true;
}

// Sets the restart entry: "<fallback folder>\setup.exe" in double quotes, so
// that the blank in the folder's name does not end the program's path when
// the system runs it at the next logon. A key that cannot be opened, or a
// value that cannot be set, is not reported.
void WriteRestartEntry(platform::Platform& platform, const PathBuffer& folder) {
    PathBuffer entry;
    if (!entry.appendAll({u"\"", folder.view(), kSetupProgram, u"\""})) {
        return;
    }
    platform::Registry& registry = platform.registry;
    platform::KeyHandle key{};
    if (registry.RegOpenKeyExW(platform::kHkeyLocalMachine, kRunOnceKey, win::kKeySetValue, key)
            .value != win::kErrorSuccess) {
        return;
    }
    // REG_SZ data: the text with its terminating null, two bytes a unit.
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i <= entry.size(); ++i) {
        char16_t unit = entry.c_str()[i];
        data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    registry.RegSetValueExW(key, kRestartValueName, win::kRegSz, data);
    registry.RegCloseKey(key);
}

}  // namespace

void RunRebootFallback(platform::Platform& platform) {
    PathBuffer folder;
    // xcopy is never run against a folder that is not there: it would ask
    // whether its destination is a file or a folder and wait for ever.
    if (PrepareFallbackFolder(platform, folder) && CopyPackage(platform, folder)) {
        WriteRestartEntry(platform, folder);
    }
    // The restart is offered once the copy is over, whatever became of it:
    // only a restart frees the driver file that stayed. Its answer is not
    // looked at.
    platform.setupApi.SetupPromptReboot();
}

}  // namespace tw::removal
