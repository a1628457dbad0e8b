// A stand-in for the other subsystems' operations in the wizard's tests: each
// operation gives the result the scenario set, takes the virtual time the
// scenario set (the clock runs on meanwhile, as during a real operation), and
// is recorded with the time it was called.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "sim/machine.h"
#include "wizard/install_operations.h"

namespace tw::wizard {

struct OperationCall {
    sim::Millis at = 0;
    std::string text;  // "OpenEngraver: present, tag 0"
};

class ScriptedOperations : public InstallOperations {
  public:
    ScriptedOperations(sim::SimMachine& machine, platform::Platform& platform)
        : machine_(machine), platform_(platform) {}

    // The scenario.
    bool engraverPresent = false;
    bool makerTag = false;
    bool driverFilesRemoved = true;
    bool portFound = true;
    std::uint8_t status = 0;
    bool driverPackageFails = false;           // InstallDriverPackage shows its failure
    bool propertiesProcessStarts = true;       // OpenPrinterProperties fills in handles
    std::map<std::string, sim::Millis> takes;  // virtual time an operation takes

    std::vector<OperationCall> calls;

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
    void record(const std::string& name, const std::string& result = {});

    sim::SimMachine& machine_;
    platform::Platform& platform_;
};

}  // namespace tw::wizard
