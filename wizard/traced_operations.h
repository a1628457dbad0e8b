// The wizard's operations with each call told, in the wizard's own terms, to
// an observer: which operation ran and what it gave back ("OpenEngraver:
// present, tag", "RemoveDriverFiles: false"). Tools and tests use it to show
// a run step by step; the calls go on to the operations it wraps unchanged.
#pragma once

#include <functional>
#include <string>

#include "wizard/install_operations.h"

namespace tw::wizard {

class TracedOperations : public InstallOperations {
  public:
    using Observer = std::function<void(const std::string&)>;
    TracedOperations(InstallOperations& operations, Observer observer)
        : operations_(operations), observer_(std::move(observer)) {}

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
    InstallOperations& operations_;
    Observer observer_;
};

}  // namespace tw::wizard
