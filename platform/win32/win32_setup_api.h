// The SetupApi area forwarded to the real system.
#pragma once

#include "platform/setup_api.h"

namespace tw::platform::win32 {

class Win32SetupApi : public SetupApi {
  public:
    Result<bool> SetupCopyOEMInfW(std::u16string_view sourceInf, std::uint32_t mediaType,
                                  std::uint32_t copyStyle, std::span<char16_t> destination,
                                  std::uint32_t& requiredSize, std::size_t& fileNamePart) override;
};

}  // namespace tw::platform::win32
