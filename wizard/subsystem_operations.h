// The wizard's operations as the other subsystems provide them: each one line
// to the engraver link, the removal of an earlier installation or the driver
// installation, on the program's platform.
#pragma once

#include "platform/platform.h"
#include "wizard/install_operations.h"

namespace tw::wizard {

class SubsystemOperations : public InstallOperations {
  public:
    explicit SubsystemOperations(platform::Platform& platform) : platform_(platform) {}

    platform::Handle OpenEngraver(std::int32_t& makerTagFound) override;
    std::uint8_t QueryEngraverStatus(std::int32_t& makerTagFound) override;
    void SendFirmwareTable(std::int32_t& makerTagFound) override;
    void RemovePrinterQueues() override;
    bool RemoveDriverFiles(std::uint32_t& commandStartTick) override;
    bool RemoveDriverPackages() override;
    void RemovePrinterDriver() override;
    void RemoveDeviceKey() override;
    void InstallDriverPackage() override;
    bool InstallPrinterOnPort() override;
    void OpenPrinterProperties(platform::ProcessInformation& propertiesProcess) override;

  private:
    platform::Platform& platform_;
};

}  // namespace tw::wizard
