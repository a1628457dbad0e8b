// The operations of the other subsystems that the wizard's steps call: the
// engraver link, the removal of an earlier installation and the driver
// installation. CInstallDlg reaches each one through this interface, handing
// it the dialog fields the operation reads and writes, so that the step
// sequence can run with the real operations (SubsystemOperations) or with a
// scripted stand-in in tests.
#pragma once

#include <cstdint>

#include "platform/handle.h"

namespace tw::wizard {

class InstallOperations {
  public:
    virtual ~InstallOperations() = default;

    // A device link to the engraver, or a null handle when none is found;
    // sets `makerTagFound` to 1 when the engraver's path carries the maker
    // tag, else to 0.
    virtual platform::Handle OpenEngraver(std::int32_t& makerTagFound) = 0;
    // The engraver's status byte; 0 lets the sequence go on.
    virtual std::uint8_t QueryEngraverStatus(std::int32_t& makerTagFound) = 0;
    virtual void SendFirmwareTable(std::int32_t& makerTagFound) = 0;

    virtual void RemovePrinterQueues() = 0;
    // True when every driver file is gone; false when one stayed and the
    // reboot fallback has been arranged instead.
    virtual bool RemoveDriverFiles(std::uint32_t& commandStartTick) = 0;
    virtual bool RemoveDriverPackages() = 0;
    virtual void RemovePrinterDriver() = 0;
    virtual void RemoveDeviceKey() = 0;

    virtual void InstallDriverPackage() = 0;
    // False when no port qualifies ("No port exists" has been shown).
    virtual bool InstallPrinterOnPort() = 0;
    // Starts the printer's properties window; its process is left running
    // and its handles stored in `propertiesProcess`.
    virtual void OpenPrinterProperties(platform::ProcessInformation& propertiesProcess) = 0;
};

}  // namespace tw::wizard
