// The seam areas served by the real system, bundled for the core.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_kernel.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_setup_api.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/win32_window.h"

namespace tw::platform::win32 {

class Win32Platform {
  public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }
    Win32Window& window() { return window_; }

  private:
    Win32Kernel kernel_;
    Win32SetupApi setupApi_;
    Win32Spooler spooler_;
    Win32Registry registry_;
    Win32Window window_;
    Platform platform_{kernel_, setupApi_, spooler_, registry_, window_};
};

}  // namespace tw::platform::win32
