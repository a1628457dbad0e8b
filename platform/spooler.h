// The Spooler area of the seam: printers and their jobs, printer drivers, the driver directory,
// ports (winspool). One method per system function, named after it, returning its value with the
// code GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

class Spooler {
  public:
    virtual ~Spooler() = default;
};

}  // namespace tw::platform
