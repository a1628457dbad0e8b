// The SetupApi area forwarded to the real system.
#pragma once

#include "platform/setup_api.h"

namespace tw::platform::win32 {

class Win32SetupApi : public SetupApi {
  public:
    // The restart prompt (the reboot fallback).
    Result<std::int32_t> SetupPromptReboot() override;
};

}  // namespace tw::platform::win32
