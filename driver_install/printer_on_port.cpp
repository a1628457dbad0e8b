// InstallPrinterOnPort: a printer of the driver model on a local port,
// installed by the system's printer set-up entry point.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "driver_install/driver_install.h"
#include "driver_install/folders.h"
#include "driver_install/port_rule.h"
#include "driver_install/texts.h"
#include "platform/text_buffer.h"
#include "platform/win_codes.h"

namespace tw::driver_install {
namespace {

// The local ports as the system lists them: the first enumeration gives the
// size needed, a zero-filled block of that size is allocated, and the second
// enumeration fills it and gives the number of ports. A failed enumeration
// or allocation leaves no ports. The block is released by release() or at
// the latest when the list goes out of scope.
class PortList {
  public:
    PortList(platform::Kernel& kernel, platform::Spooler& spooler) : kernel_(kernel) {
        std::uint32_t needed = 0;
        std::uint32_t returned = 0;
        // Without a block this fails for want of one; only the size counts.
        spooler.EnumPortsW({}, ports_, needed, returned);
        block_ = kernel_.GlobalAlloc(win::kGptr, needed).value;
        if (block_ == nullptr) {
            return;
        }
        std::uint32_t neededNow = 0;
        returned = 0;
        spooler.EnumPortsW(std::span<std::uint8_t>(block_, needed), ports_, neededNow, returned);
        count_ = std::min<std::size_t>(returned, ports_.size());
    }
    ~PortList() { release(); }
    PortList(const PortList&) = delete;
    PortList& operator=(const PortList&) = delete;

    std::span<const platform::PortInfo1> entries() const {
        return std::span<const platform::PortInfo1>(ports_.data(), count_);
    }

    void release() {
        if (block_ != nullptr) {
            kernel_.GlobalFree(block_);
            block_ = nullptr;
        }
    }

  private:
    platform::Kernel& kernel_;
    std::uint8_t* block_ = nullptr;
    std::vector<platform::PortInfo1> ports_;
    std::size_t count_ = 0;
};

// Why the install command could not be built, if it could not.
enum class BuildFailure { None, SystemDirectory, TooLong };

// Builds
//   <system folder>\rundll32 printui.dll,PrintUIEntry /if  /f "<current
//   folder>\kelvra.inf" /m "Tarn-Well" /r "<port>"
// in `command`. Nothing is built from a folder the system did not report, and
// nothing is cut to fit: either failure leaves no command.
BuildFailure BuildInstallCommand(platform::Kernel& kernel, std::u16string_view port,
                                 platform::PathBuffer& command) {
    platform::PathBuffer systemFolder;
    if (!ReadSystemDirectory(kernel, systemFolder)) {
        return BuildFailure::SystemDirectory;
    }
    platform::PathBuffer currentFolder;
    platform::PathBuffer quotedInf;
    if (!ReadCurrentDirectory(kernel, currentFolder) ||
        !quotedInf.appendAll({kQuote, currentFolder.view(), kInfFile, kQuote})) {
        return BuildFailure::TooLong;
    }
    if (!command.appendAll({systemFolder.view(), kPrinterSetupEntry, kInstallSwitch, kInfSwitch,
                            quotedInf.view(), kModelSwitch, kQuote, kModelName, kQuote, kPortSwitch,
                            kQuote, port, kQuote})) {
        return BuildFailure::TooLong;
    }
    return BuildFailure::None;
}

}  // namespace

bool InstallPrinterOnPort(platform::Platform& platform) {
    platform::Kernel& kernel = platform.kernel;
    platform::PathBuffer command;
    {
        PortList ports(kernel, platform.spooler);
        std::optional<std::size_t> chosen = ChoosePort(ports.entries());
        if (!chosen) {
            platform.window.MessageBox(kNoPortExists);
            return false;
        }
        switch (BuildInstallCommand(kernel, ports.entries()[*chosen].name, command)) {
            case BuildFailure::None:
                break;
            // Nothing is run: a command without its system folder would name
            // a rundll32 at the root of the current drive.
            case BuildFailure::SystemDirectory:
                platform.window.MessageBox(kSystemDirectoryError);
                return true;
            case BuildFailure::TooLong:
                platform.window.MessageBox(kProcessError);
                return true;
        }
    }  // the port list is released once the port's name is in the command

    platform::ProcessInformation install;
    if (!kernel.CreateProcessW(command.view(), 0, install).value) {
        platform.window.MessageBox(kProcessError);
        return true;
    }
    // Without a time limit: the printer is in place, or not, once it ends.
    // Its exit code says nothing the wizard acts on.
    kernel.WaitForSingleObject(install.process, win::kInfinite);
    kernel.CloseHandle(install.process);
    kernel.CloseHandle(install.thread);
    return true;
}

}  // namespace tw::driver_install
