// The Registry area of the seam: keys and values, deleting a key tree, the user name (advapi32,
// shlwapi). One method per system function, named after it, returning its value with the code
// GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

class Registry {
  public:
    virtual ~Registry() = default;
};

}  // namespace tw::platform
