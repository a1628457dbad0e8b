// The Spooler area forwarded to the real system.
#pragma once

#include "platform/spooler.h"

namespace tw::platform::win32 {

class Win32Spooler : public Spooler {};

}  // namespace tw::platform::win32
