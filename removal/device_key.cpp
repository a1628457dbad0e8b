#include "removal/device_key.h"

#include "platform/text_buffer.h"
#include "platform/win_codes.h"

namespace tw::removal {
namespace {

using platform::Kernel;
using platform::PathBuffer;

constexpr std::u16string_view kToolProgram = u"\\systems\\Config.exe";

// The name of the user running the wizard; false when it cannot be read.
bool ReadUserName(platform::Registry& registry, PathBuffer& user) {
    auto capacity = static_cast<std::uint32_t>(user.writable().size());
    std::uint32_t size = capacity;
    auto read = registry.GetUserNameW(user.writable(), size);
    // On success `size` counts the terminator too.
    return read.value && size > 1 && user.adoptFilled(size - 1);
}

// `"<package root>\systems\Config.exe" -on hklm\<device key> -ot reg -actn ace
// -ace n:\<user>;p:full`. The program path is quoted, since the package root
// may hold a blank (the reboot copy's always does) and Windows would then run
// whatever program is named by the text before the blank. A user name with a
// blank would split the tool's trustee argument in two, so the whole
// "n:\<user>;p:full" argument is then quoted; other names stand unquoted, as
// the tool has always been called. The current folder is the package root and
// is used as the system gives it (a drive's root ends in a backslash). False
// when the folder cannot be read or the command line does not fit.
bool BuildToolCommand(Kernel& kernel, std::u16string_view user, PathBuffer& command) {
    PathBuffer root;
    auto length = kernel.GetCurrentDirectoryW(root.writable());
    if (length.value == 0 || !root.adoptFilled(length.value)) {
        return false;
    }
    std::u16string_view quote = user.find(u' ') != std::u16string_view::npos ? u"\"" : u"";
    return command.appendAll({u"\"", root.view(), kToolProgram, u"\" -on hklm\\", kDeviceKeyParent,
                              kDeviceKeyName, u" -ot reg -actn ace -ace ", quote, u"n:\\", user,
                              u";p:full", quote});
}

// Runs the tool without a window and gives it kAccessToolWait ms; a tool
// still running then is left to run on. Nothing of it is reported.
void RunAccessTool(Kernel& kernel, const PathBuffer& command) {
    platform::ProcessInformation tool;
    auto started = kernel.CreateProcessW(command.view(), win::kCreateNoWindow, tool);
    if (!started.value) {
        return;
    }
    kernel.WaitForSingleObject(tool.process, kAccessToolWait);
    kernel.CloseHandle(tool.process);
    kernel.CloseHandle(tool.thread);
}

}  // namespace

void RemoveDeviceKey(platform::Platform& platform) {
    PathBuffer user;
    bool haveUser = ReadUserName(platform.registry, user);
    if (!haveUser) {
        platform.window.MessageBox(kUserNameMissing);
    }
    // Without a user name the tool is not run: it would have no one to grant
    // access to, and nothing unread may stand in its command line. The key's
    // deletion is still tried, as it is when the tool cannot be started.
    PathBuffer command;
    if (haveUser && BuildToolCommand(platform.kernel, user.view(), command)) {
        RunAccessTool(platform.kernel, command);
    }
    PathBuffer key;
    if (key.appendAll({kDeviceKeyParent, kDeviceKeyName})) {
        // The result is not looked at: a key that stays or was never there is
        // not reported.
        platform.registry.SHDeleteKeyW(platform::kHkeyLocalMachine, key.view());
    }
}

}  // namespace tw::removal
