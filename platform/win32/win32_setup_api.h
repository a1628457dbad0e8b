// The SetupApi area forwarded to the real system. Records cross in the
// 32-bit sizes the core uses (28 and 6); the x86-64 build converts them to
// its own record sizes here, so the core sees the same on both.
#pragma once

#include "platform/setup_api.h"

namespace tw::platform::win32 {

class Win32SetupApi : public SetupApi {
  public:
    // --- Device interfaces ---------------------------------------------------
    Result<DeviceInfoSet> SetupDiGetClassDevsW(const Guid& classGuid, std::uint32_t flags) override;
    Result<bool> SetupDiEnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass,
                                             std::uint32_t memberIndex,
                                             DeviceInterfaceData& data) override;
    Result<bool> SetupDiGetDeviceInterfaceDetailW(DeviceInfoSet set,
                                                  const DeviceInterfaceData& data,
                                                  std::span<std::uint8_t> detail,
                                                  std::uint32_t& requiredSize) override;
    Result<bool> SetupDiDestroyDeviceInfoList(DeviceInfoSet set) override;
    // INF information and uninstall.
    Result<bool> SetupGetInfInformationW(std::u16string_view infName, std::uint32_t searchControl,
                                         InfInformation* buffer, std::uint32_t bufferSize,
                                         std::uint32_t& requiredSize) override;
    Result<bool> SetupQueryInfVersionInformationW(const InfInformation& information,
                                                  std::uint32_t infIndex, std::u16string_view key,
                                                  std::span<char16_t> buffer,
                                                  std::uint32_t& requiredSize) override;
    Result<bool> SetupUninstallOEMInfW(Procedure procedure, std::u16string_view infFileName,
                                       std::uint32_t flags) override;

    // The restart prompt (the reboot fallback).
    Result<std::int32_t> SetupPromptReboot() override;
    Result<bool> SetupCopyOEMInfW(std::u16string_view sourceInf, std::uint32_t mediaType,
                                  std::uint32_t copyStyle, std::span<char16_t> destination,
                                  std::uint32_t& requiredSize, std::size_t& fileNamePart) override;
};

}  // namespace tw::platform::win32
