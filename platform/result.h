// The value a system call returns, together with the code GetLastError would
// give right after it. The error is meaningful only where the call's value
// says it failed, exactly as with the system's own functions.
#pragma once

#include <cstdint>

namespace tw::platform {

template <class T>
struct Result {
    T value{};
    std::uint32_t error = 0;
};

}  // namespace tw::platform
