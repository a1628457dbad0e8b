#include "wizard/subsystem_operations.h"

#include "driver_install/driver_install.h"
#include "engraver/engraver_link.h"
#include "removal/device_key.h"
#include "removal/driver_files.h"
#include "removal/driver_packages.h"
#include "removal/printer_queues.h"

namespace tw::wizard {

platform::Handle SubsystemOperations::OpenEngraver(std::int32_t& makerTagFound) {
    return engraver::OpenEngraver(platform_, makerTagFound);
}

std::uint8_t SubsystemOperations::QueryEngraverStatus(std::int32_t& makerTagFound) {
    return engraver::QueryEngraverStatus(platform_, makerTagFound);
}

void SubsystemOperations::SendFirmwareTable(std::int32_t& makerTagFound) {
    engraver::SendFirmwareTable(platform_, makerTagFound);
}

void SubsystemOperations::RemovePrinterQueues() {
    removal::RemovePrinterQueues(platform_);
}

bool SubsystemOperations::RemoveDriverFiles(std::uint32_t& commandStartTick) {
    return removal::RemoveDriverFiles(platform_, commandStartTick);
}

bool SubsystemOperations::RemoveDriverPackages() {
    return removal::RemoveDriverPackages(platform_);
}

void SubsystemOperations::RemovePrinterDriver() {
    removal::RemovePrinterDriver(platform_);
}

void SubsystemOperations::RemoveDeviceKey() {
    removal::RemoveDeviceKey(platform_);
}

void SubsystemOperations::InstallDriverPackage() {
    driver_install::InstallDriverPackage(platform_);
}

bool SubsystemOperations::InstallPrinterOnPort() {
    return driver_install::InstallPrinterOnPort(platform_);
}

void SubsystemOperations::OpenPrinterProperties(platform::ProcessInformation& propertiesProcess) {
    driver_install::OpenPrinterProperties(platform_, propertiesProcess);
}

}  // namespace tw::wizard
