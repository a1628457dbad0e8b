// What the seam's contract cases need from the machine they run on. The same
// cases run against the simulated machine (natively) and against the real
// Win32 backend (under Wine, or on Windows); each side provides this.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace tw::contract {

class ContractEnv {
  public:
    virtual ~ContractEnv() = default;

    // "sim" or "win32".
    virtual std::string name() const = 0;
    virtual platform::Platform& platform() = 0;

    // A new, empty folder whose name holds a blank.
    virtual std::u16string freshFolder() = 0;
    // Creates a folder (its parent exists).
    virtual void makeFolder(std::u16string_view path) = 0;

    // Puts the test child program at `path`. When run, the child appends one
    // line "<its program file>|<its current folder>|<its command line>" to
    // "child_record.txt" in its current folder; given the arguments
    // "sleep N" it then runs N ms before it ends with exit code 0.
    virtual void placeChild(std::u16string_view path) = 0;

    // Puts the test window program at `path`, a program with a window of its
    // own. Run with the arguments "N M", it waits N ms, appends the line
    // "window" to "window_record.txt" in its current folder, opens its
    // window and waits for input, and ends M ms after that.
    virtual void placeWindowChild(std::u16string_view path) = 0;

    // A file's text (UTF-8), or nothing when it cannot be read.
    virtual std::optional<std::string> readText(std::u16string_view path) = 0;

    // A device information list holding one USB printer-class interface made
    // for the case (no device is present behind it); its path goes to
    // `path`. The case releases it with SetupDiDestroyDeviceInfoList.
    virtual platform::DeviceInfoSet interfaceList(std::u16string& path) = 0;
    // Registry keys under HKEY_LOCAL_MACHINE: creates one with its missing
    // parents, and tells whether one is there.
    virtual void makeMachineKey(std::u16string_view path) = 0;
    virtual bool machineKeyExists(std::u16string_view path) = 0;

    // --- Printer queues, driver directory, restart entry (the removal) -------

    // Whether the test program is a 32-bit one, and one on 64-bit Windows.
    virtual bool program32() const = 0;
    virtual bool wow64() const = 0;
    // Adds a local printer queue `name` whose driver is `driverName` (that
    // driver is installed first), with no jobs.
    virtual void addPrinterQueue(std::u16string_view name, std::u16string_view driverName) = 0;
    // A REG_SZ value of a key under HKEY_LOCAL_MACHINE, or nothing; and its
    // removal.
    virtual std::optional<std::u16string> registryString(std::u16string_view key,
                                                         std::u16string_view name) = 0;
    virtual void deleteRegistryValue(std::u16string_view key, std::u16string_view name) = 0;

    // Why a case cannot run on this machine (a feature it lacks), or nothing.
    virtual std::optional<std::string> lacks(std::string_view feature) const {
        (void)feature;
        return std::nullopt;
    }
};

// The environment of the running test program.
ContractEnv& Env();

}  // namespace tw::contract
