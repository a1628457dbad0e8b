#include "wizard/traced_operations.h"

namespace tw::wizard {
namespace {

const char* YesNo(bool value) {
    return value ? "true" : "false";
}

}  // namespace

platform::Handle TracedOperations::OpenEngraver(std::int32_t& makerTagFound) {
    platform::Handle link = operations_.OpenEngraver(makerTagFound);
    observer_(std::string("OpenEngraver: ") + (link == platform::kNullHandle ? "absent"
                                               : makerTagFound == 1          ? "present, tag"
                                                                             : "present"));
    return link;
}

std::uint8_t TracedOperations::QueryEngraverStatus(std::int32_t& makerTagFound) {
    std::uint8_t status = operations_.QueryEngraverStatus(makerTagFound);
    observer_("QueryEngraverStatus: " + std::to_string(status));
    return status;
}

void TracedOperations::SendFirmwareTable(std::int32_t& makerTagFound) {
    operations_.SendFirmwareTable(makerTagFound);
    observer_("SendFirmwareTable");
}

void TracedOperations::RemovePrinterQueues() {
    operations_.RemovePrinterQueues();
    observer_("RemovePrinterQueues");
}

bool TracedOperations::RemoveDriverFiles(std::uint32_t& commandStartTick) {
    bool removed = operations_.RemoveDriverFiles(commandStartTick);
    observer_(std::string("RemoveDriverFiles: ") + YesNo(removed));
    return removed;
}

bool TracedOperations::RemoveDriverPackages() {
    bool done = operations_.RemoveDriverPackages();
    observer_("RemoveDriverPackages");
    return done;
}

void TracedOperations::RemovePrinterDriver() {
    operations_.RemovePrinterDriver();
    observer_("RemovePrinterDriver");
}

void TracedOperations::RemoveDeviceKey() {
    operations_.RemoveDeviceKey();
    observer_("RemoveDeviceKey");
}

void TracedOperations::InstallDriverPackage() {
    operations_.InstallDriverPackage();
    observer_("InstallDriverPackage");
}

bool TracedOperations::InstallPrinterOnPort() {
    bool installed = operations_.InstallPrinterOnPort();
    observer_(std::string("InstallPrinterOnPort: ") + YesNo(installed));
    return installed;
}

void TracedOperations::OpenPrinterProperties(platform::ProcessInformation& propertiesProcess) {
    operations_.OpenPrinterProperties(propertiesProcess);
    observer_("OpenPrinterProperties");
}

}  // namespace tw::wizard
