// The SetupApi area forwarded to the real system.
#pragma once

#include "platform/setup_api.h"

namespace tw::platform::win32 {

class Win32SetupApi : public SetupApi {};

}  // namespace tw::platform::win32
