// The SetupApi area of the seam: device interfaces, INF information, the driver store copy and
// uninstall, the restart prompt (setupapi). One method per system function, named after it,
// returning its value with the code GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

class SetupApi {
  public:
    virtual ~SetupApi() = default;

    // --- Driver store ----------------------------------------------------------

    // Copies the INF at the full path `sourceInf` into the system's INF folder
    // under the name the system gives it, with no source media location: with
    // SPOST_PATH the INF's own folder is recorded as where the driver's files
    // are found. `destination` receives the INF's full path in the INF folder,
    // `requiredSize` that path's size with its terminator and `fileNamePart`
    // the index in `destination` where its file name begins. A too-small
    // destination fails with ERROR_INSUFFICIENT_BUFFER and `requiredSize`
    // set; a missing INF fails with ERROR_FILE_NOT_FOUND (a missing folder
    // on its path with ERROR_PATH_NOT_FOUND).
    virtual Result<bool> SetupCopyOEMInfW(std::u16string_view sourceInf, std::uint32_t mediaType,
                                          std::uint32_t copyStyle, std::span<char16_t> destination,
                                          std::uint32_t& requiredSize,
                                          std::size_t& fileNamePart) = 0;
};

}  // namespace tw::platform
