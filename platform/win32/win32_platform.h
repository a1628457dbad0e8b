// The seam areas served by the real system, bundled for the core.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_kernel.h"

namespace tw::platform::win32 {

class Win32Platform {
  public:
    Win32Platform() : platform_{kernel_} {}
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }

  private:
    Win32Kernel kernel_;
    Platform platform_;
};

}  // namespace tw::platform::win32
