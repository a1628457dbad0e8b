// The bundle of seam areas handed to the core. Each area is one small
// interface; a program's logic takes the bundle and uses the areas it needs.
#pragma once

#include "platform/kernel.h"
#include "platform/registry.h"
#include "platform/setup_api.h"
#include "platform/spooler.h"
#include "platform/window.h"

namespace tw::platform {

struct Platform {
    Kernel& kernel;
    SetupApi& setupApi;
    Spooler& spooler;
    Registry& registry;
    Window& window;
};

}  // namespace tw::platform
