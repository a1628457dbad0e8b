#include "launcher/launcher.h"

#include "platform/text_buffer.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::launcher {
namespace {

using platform::PathBuffer;

constexpr std::u16string_view kInstallPath = u"\\Systems\\Install.exe";

// The launcher's one message: no owner, the system's default caption, OK.
void ShowProcessError(platform::Kernel& kernel, std::uint32_t code) {
    PathBuffer message;
    (void)message.assign(
        platform::FormatCode(kProcessErrorFormat, static_cast<std::int32_t>(code)));
    kernel.MessageBoxW(platform::kNoWindow, message.view(), std::nullopt, win::kMbOk);
}

// Each argument byte becomes the UTF-16 unit of the same value (0xE9 becomes
// U+00E9). The text and its terminator must fit the 260-unit buffer.
bool WidenArguments(std::string_view arguments, PathBuffer& widened) {
    std::u16string text;
    text.reserve(arguments.size());
    for (char byte : arguments) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(byte)));
    }
    return widened.assign(text);
}

// Builds `"<folder>\Systems\Install.exe" <arguments>`. The program path is
// quoted: the package folder may hold blanks (the reboot copy's always does),
// and an unquoted path would let Windows run a program named after the text
// before the first blank instead of install.
bool BuildCommandLine(platform::Kernel& kernel, std::string_view arguments, PathBuffer& command,
                      std::uint32_t& error) {
    PathBuffer folder;
    auto length = kernel.GetModuleFileNameW(folder.writable());
    if (length.value == 0) {
        error = length.error;
        return false;
    }
    if (!folder.adoptFilled(length.value)) {
        error = win::kErrorFilenameExcedRange;
        return false;
    }
    auto lastBackslash = folder.findLast(u'\\');
    if (!lastBackslash) {
        error = win::kErrorBadPathname;
        return false;
    }
    folder.truncate(*lastBackslash);

    // The result is not looked at: a folder that cannot be made current
    // leaves install in the folder setup was started in.
    kernel.SetCurrentDirectoryW(folder.view());

    PathBuffer widened;
    if (!WidenArguments(arguments, widened) ||
        !command.appendAll({u"\"", folder.view(), kInstallPath, u"\" ", widened.view()})) {
        error = win::kErrorFilenameExcedRange;
        return false;
    }
    return true;
}

}  // namespace

int RunSetup(platform::Platform& platform, std::string_view arguments) {
    platform::Kernel& kernel = platform.kernel;
    PathBuffer command;
    std::uint32_t error = 0;
    if (!BuildCommandLine(kernel, arguments, command, error)) {
        ShowProcessError(kernel, error);
        return 0;
    }

    platform::ProcessInformation child;
    auto started = kernel.CreateProcessW(command.view(), 0, child);
    if (!started.value) {
        ShowProcessError(kernel, started.error);
        return 0;
    }
    kernel.WaitForSingleObject(child.process, win::kInfinite);
    kernel.CloseHandle(child.process);
    kernel.CloseHandle(child.thread);
    return 0;
}

}  // namespace tw::launcher
