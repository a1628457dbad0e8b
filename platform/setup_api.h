// The SetupApi area of the seam: device interfaces, INF information, the driver store copy and
// uninstall, the restart prompt (setupapi). One method per system function, named after it,
// returning its value with the code GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

// An INF information block (SP_INF_INFORMATION): the INF's style, the number
// of INF files it describes, and their version data in the system's own
// layout. The program only sizes it and passes it on to the calls that read it.
struct InfInformation {
    std::uint32_t infStyle = 0;
    std::uint32_t infCount = 0;
    std::vector<std::uint8_t> versionData;
};

class SetupApi {
  public:
    virtual ~SetupApi() = default;

    // --- INF information and uninstall (the driver packages' removal) --------

    // The information block of an INF. With no buffer (and size 0) only
    // `requiredSize` is set, in bytes of the 32-bit layout; with one, a
    // `bufferSize` smaller than needed fails with ERROR_INSUFFICIENT_BUFFER.
    virtual Result<bool> SetupGetInfInformationW(std::u16string_view infSpec,
                                                 std::uint32_t searchControl,
                                                 InfInformation* buffer, std::uint32_t bufferSize,
                                                 std::uint32_t& requiredSize) = 0;

    // The value of `key` in the version data of INF number `infIndex` of the
    // block. An empty buffer asks for the size only; sizes are in characters
    // with the terminator.
    virtual Result<bool> SetupQueryInfVersionInformationW(const InfInformation& information,
                                                          std::uint32_t infIndex,
                                                          std::u16string_view key,
                                                          std::span<char16_t> buffer,
                                                          std::uint32_t& requiredSize) = 0;

    // SetupUninstallOEMInfW, found at run time (`procedure`, from
    // GetProcAddress, never kNoProcedure): removes the INF `infFileName` of
    // the INF folder from the system. The reserved argument is null.
    virtual Result<bool> SetupUninstallOEMInfW(Procedure procedure, std::u16string_view infFileName,
                                               std::uint32_t flags) = 0;
};

}  // namespace tw::platform
