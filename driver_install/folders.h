// The current and system folders read into a path buffer. A folder is used
// only when the system reported it and it fits with its terminator: a failed
// query or a folder too long for the buffer leaves nothing to build on.
#pragma once

#include "platform/kernel.h"
#include "platform/text_buffer.h"

namespace tw::driver_install {

[[nodiscard]] bool ReadCurrentDirectory(platform::Kernel& kernel, platform::PathBuffer& folder);
[[nodiscard]] bool ReadSystemDirectory(platform::Kernel& kernel, platform::PathBuffer& folder);

}  // namespace tw::driver_install
