// InstallDriverPackage: the package's INF into the driver store.
#include "driver_install/driver_install.h"
#include "driver_install/folders.h"
#include "driver_install/texts.h"
#include "platform/text_buffer.h"
#include "platform/win_codes.h"

namespace tw::driver_install {

void InstallDriverPackage(platform::Platform& platform) {
    platform::PathBuffer infPath;
    // An INF path that cannot be named (the current folder unreadable, or
    // too long with "\kelvra.inf") is never copied cut short: that is the
    // copy's failure.
    if (!ReadCurrentDirectory(platform.kernel, infPath) || !infPath.append(kInfFile)) {
        platform.window.MessageBox(kCopyOemError);
        return;
    }

    // SPOST_PATH with no media location: the system records the INF's own
    // folder, the package root, as where the driver's files are found. The
    // published name is not needed afterwards.
    platform::PathBuffer published;
    std::uint32_t requiredSize = 0;
    std::size_t fileNamePart = 0;
    auto copied = platform.setupApi.SetupCopyOEMInfW(
        infPath.view(), win::kSpostPath, 0, published.writable(), requiredSize, fileNamePart);
    if (!copied.value) {
        platform.window.MessageBox(kCopyOemError);
    }
}

}  // namespace tw::driver_install
