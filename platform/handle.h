// Opaque system handles as the core sees them. A handle is only ever passed
// back to the platform; the core compares it with the two sentinel values and
// nothing else.
#pragma once

#include <cstdint>

namespace tw::platform {

// A kernel object handle (process, thread, file, device, search, module...).
enum class Handle : std::uintptr_t {};
inline constexpr Handle kNullHandle{0};
inline constexpr Handle kInvalidHandleValue{~std::uintptr_t{0}};

// A function found by GetProcAddress. The seam offers one call per function
// the core looks up this way, taking the procedure, so that a function the
// system lacks is seen as such and never called.
enum class Procedure : std::uintptr_t {};
inline constexpr Procedure kNoProcedure{0};

// A window handle (the owner of a message box, the wizard dialog).
enum class WindowHandle : std::uintptr_t {};
inline constexpr WindowHandle kNoWindow{0};

// The two handles and two ids that a process start fills in. Zeroed before
// every start, so that its handles are null when the start fails.
struct ProcessInformation {
    Handle process = kNullHandle;
    Handle thread = kNullHandle;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

}  // namespace tw::platform
