// The SetupApi area forwarded to the real system.
#pragma once

#include "platform/setup_api.h"

namespace tw::platform::win32 {

class Win32SetupApi : public SetupApi {
  public:
    // INF information and uninstall.
    Result<bool> SetupGetInfInformationW(std::u16string_view infSpec, std::uint32_t searchControl,
                                         InfInformation* buffer, std::uint32_t bufferSize,
                                         std::uint32_t& requiredSize) override;
    Result<bool> SetupQueryInfVersionInformationW(const InfInformation& information,
                                                  std::uint32_t infIndex, std::u16string_view key,
                                                  std::span<char16_t> buffer,
                                                  std::uint32_t& requiredSize) override;
    Result<bool> SetupUninstallOEMInfW(Procedure procedure, std::u16string_view infFileName,
                                       std::uint32_t flags) override;
};

}  // namespace tw::platform::win32
