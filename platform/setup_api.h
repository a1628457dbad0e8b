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
};

}  // namespace tw::platform
