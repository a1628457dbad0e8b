#include "wizard/tests/scripted_operations.h"

#include <memory>

namespace tw::wizard {
namespace {

// What a scripted device link or properties process handle stands for.
class ScriptedObject : public sim::KernelObject {
  public:
    explicit ScriptedObject(std::string what) : what_(std::move(what)) {}
    std::string describe() const override { return what_; }

  private:
    std::string what_;
};

}  // namespace

void ScriptedOperations::record(const std::string& name, const std::string& result) {
    calls.push_back({machine_.clock.now(), result.empty() ? name : name + ": " + result});
    machine_.trace.effect("operation " + calls.back().text);
    auto it = takes.find(name);
    if (it != takes.end()) {
        machine_.clock.advanceBy(it->second);
    }
}

platform::Handle ScriptedOperations::OpenEngraver(std::int32_t& makerTagFound) {
    makerTagFound = engraverPresent && makerTag ? 1 : 0;
    record("OpenEngraver", engraverPresent ? (makerTag ? "present, tag" : "present") : "absent");
    if (!engraverPresent) {
        return platform::kNullHandle;
    }
    return machine_.handles.add(std::make_shared<ScriptedObject>("engraver link"));
}

std::uint8_t ScriptedOperations::QueryEngraverStatus(std::int32_t& /*makerTagFound*/) {
    record("QueryEngraverStatus", std::to_string(status));
    return status;
}

void ScriptedOperations::SendFirmwareTable(std::int32_t& /*makerTagFound*/) {
    record("SendFirmwareTable");
}

void ScriptedOperations::RemovePrinterQueues() {
    record("RemovePrinterQueues");
}

bool ScriptedOperations::RemoveDriverFiles(std::uint32_t& commandStartTick) {
    commandStartTick = machine_.clock.tickCount();
    record("RemoveDriverFiles", driverFilesRemoved ? "true" : "false");
    return driverFilesRemoved;
}

bool ScriptedOperations::RemoveDriverPackages() {
    record("RemoveDriverPackages");
    return true;
}

void ScriptedOperations::RemovePrinterDriver() {
    record("RemovePrinterDriver");
}

void ScriptedOperations::RemoveDeviceKey() {
    record("RemoveDeviceKey");
}

void ScriptedOperations::InstallDriverPackage() {
    record("InstallDriverPackage", driverPackageFails ? "fails" : "");
    if (driverPackageFails) {
        platform_.window.MessageBox(u"SetupCopyOEMInf error = 2");
    }
}

bool ScriptedOperations::InstallPrinterOnPort() {
    record("InstallPrinterOnPort", portFound ? "true" : "false");
    if (!portFound) {
        platform_.window.MessageBox(u"No port exists");
    }
    return portFound;
}

void ScriptedOperations::OpenPrinterProperties(platform::ProcessInformation& propertiesProcess) {
    propertiesProcess = {};
    record("OpenPrinterProperties", propertiesProcessStarts ? "" : "fails");
    if (propertiesProcessStarts) {
        propertiesProcess.process =
            machine_.handles.add(std::make_shared<ScriptedObject>("properties process"));
        propertiesProcess.thread =
            machine_.handles.add(std::make_shared<ScriptedObject>("properties thread"));
        propertiesProcess.processId = 4000;
        propertiesProcess.threadId = 4001;
    }
}

}  // namespace tw::wizard
