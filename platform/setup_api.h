// The SetupApi area of the seam: device interfaces, INF information, the driver store copy and
// uninstall, the restart prompt (setupapi). One method per system function, named after it,
// returning its value with the code GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

class SetupApi {
  public:
    virtual ~SetupApi() = default;

    // --- The restart prompt (the reboot fallback) ------------------------------

    // Asks the user whether to restart the computer now (no file queue, no
    // owner window, not scan-only) and starts the restart when the user
    // agrees. Returns SPFILEQ_* flags, or -1 on failure.
    virtual Result<std::int32_t> SetupPromptReboot() = 0;
};

}  // namespace tw::platform
