// The Registry area forwarded to the real system.
#pragma once

#include "platform/registry.h"

namespace tw::platform::win32 {

class Win32Registry : public Registry {};

}  // namespace tw::platform::win32
