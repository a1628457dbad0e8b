// The kernel objects behind the USB printer-class interfaces: device
// information lists (what SetupDiGetClassDevsW hands out) and device links
// (a file handle to an interface, opened with CreateFileW on its path), and
// what CreateFileW, ReadFile and WriteFile do on them. The simulated kernel
// sends device paths and device handles here; the engraver behind a link
// answers.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/handle.h"
#include "platform/result.h"
#include "sim/handle_table.h"
#include "sim/usb_devices.h"

namespace tw::sim {

class SimMachine;

// A device information list: the interfaces present when it was made, in the
// order the system lists them. Later arrivals and departures do not change it.
class DeviceInfoListObject : public KernelObject {
  public:
    explicit DeviceInfoListObject(std::vector<std::shared_ptr<UsbPrinterInterface>> interfaces)
        : members(std::move(interfaces)) {}
    std::string describe() const override {
        return "device information list (" + std::to_string(members.size()) + " interfaces)";
    }
    std::vector<std::shared_ptr<UsbPrinterInterface>> members;
};

// An open link to a USB printer-class interface.
class DeviceLinkObject : public KernelObject {
  public:
    DeviceLinkObject(std::shared_ptr<UsbPrinterInterface> target, std::uint32_t access,
                     std::uint32_t shareMode, std::uint32_t disposition, std::uint32_t flags);
    ~DeviceLinkObject() override;
    DeviceLinkObject(const DeviceLinkObject&) = delete;
    DeviceLinkObject& operator=(const DeviceLinkObject&) = delete;

    std::string describe() const override { return "device link " + Utf8Path(); }
    std::string Utf8Path() const;

    const std::shared_ptr<UsbPrinterInterface> device;
    // As CreateFileW was given them.
    const std::uint32_t access;
    const std::uint32_t shareMode;
    const std::uint32_t disposition;
    const std::uint32_t flagsAndAttributes;
    const bool reads;
    const bool writes;
    const bool sharesRead;
    const bool sharesWrite;
};

// CreateFileW on a device path (planned faults already checked by the caller).
platform::Result<platform::Handle> OpenDeviceLink(SimMachine& machine, std::u16string_view path,
                                                  std::uint32_t access, std::uint32_t shareMode,
                                                  std::uint32_t disposition,
                                                  std::uint32_t flagsAndAttributes);
// WriteFile and ReadFile on an open link.
platform::Result<bool> WriteDeviceLink(SimMachine& machine, DeviceLinkObject& link,
                                       std::span<const std::uint8_t> bytes,
                                       std::uint32_t& bytesWritten);
platform::Result<bool> ReadDeviceLink(SimMachine& machine, DeviceLinkObject& link,
                                      std::span<std::uint8_t> buffer, std::uint32_t& bytesRead);

}  // namespace tw::sim
