#include "driver_install/folders.h"

namespace tw::driver_install {
namespace {

// Both queries give the length copied, 0 on failure, or, when the buffer is
// too small, the size needed, which adoptFilled refuses.
bool Adopt(platform::Result<std::uint32_t> length, platform::PathBuffer& folder) {
    if (length.value == 0) {
        folder.clear();
        return false;
    }
    return folder.adoptFilled(length.value);
}

}  // namespace

bool ReadCurrentDirectory(platform::Kernel& kernel, platform::PathBuffer& folder) {
    return Adopt(kernel.GetCurrentDirectoryW(folder.writable()), folder);
}

bool ReadSystemDirectory(platform::Kernel& kernel, platform::PathBuffer& folder) {
    return Adopt(kernel.GetSystemDirectoryW(folder.writable()), folder);
}

}  // namespace tw::driver_install
