// The SetupApi area of the seam, served by the simulated machine for one
// simulated process.
#pragma once

#include "platform/setup_api.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"

namespace tw::sim {

class SimSetupApi : public platform::SetupApi {
  public:
    SimSetupApi(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    // --- Device interfaces: the machine's USB printer-class interfaces ------
    platform::Result<platform::DeviceInfoSet> SetupDiGetClassDevsW(const platform::Guid& classGuid,
                                                                   std::uint32_t flags) override;
    platform::Result<bool> SetupDiEnumDeviceInterfaces(
        platform::DeviceInfoSet set, const platform::Guid& interfaceClass,
        std::uint32_t memberIndex, platform::DeviceInterfaceData& data) override;
    platform::Result<bool> SetupDiGetDeviceInterfaceDetailW(
        platform::DeviceInfoSet set, const platform::DeviceInterfaceData& data,
        std::span<std::uint8_t> detail, std::uint32_t& requiredSize) override;
    platform::Result<bool> SetupDiDestroyDeviceInfoList(platform::DeviceInfoSet set) override;

    // INF information and uninstall: the machine's INF folder.
    platform::Result<bool> SetupGetInfInformationW(std::u16string_view infName,
                                                   std::uint32_t searchControl,
                                                   platform::InfInformation* buffer,
                                                   std::uint32_t bufferSize,
                                                   std::uint32_t& requiredSize) override;
    platform::Result<bool> SetupQueryInfVersionInformationW(
        const platform::InfInformation& information, std::uint32_t infIndex,
        std::u16string_view key, std::span<char16_t> buffer, std::uint32_t& requiredSize) override;
    platform::Result<bool> SetupUninstallOEMInfW(platform::Procedure procedure,
                                                 std::u16string_view infFileName,
                                                 std::uint32_t flags) override;
    // The restart prompt (the reboot fallback).
    platform::Result<std::int32_t> SetupPromptReboot() override;

    // Driver store: the machine's driver store.
    platform::Result<bool> SetupCopyOEMInfW(std::u16string_view sourceInf, std::uint32_t mediaType,
                                            std::uint32_t copyStyle,
                                            std::span<char16_t> destination,
                                            std::uint32_t& requiredSize,
                                            std::size_t& fileNamePart) override;

  private:
    SimMachine& m_;
    ProcessContext& process_;
};

}  // namespace tw::sim
