// The bundle of seam areas handed to the core. Each area is one small
// interface; a program's logic takes the bundle and uses the areas it needs.
#pragma once

#include "platform/kernel.h"

namespace tw::platform {

struct Platform {
    Kernel& kernel;
};

}  // namespace tw::platform
