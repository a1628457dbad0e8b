// The USB printer-class device interfaces of the simulated machine, in the
// order the system lists them, and what a scenario or the simulated user does
// with the devices behind them: plug them in, unplug them, switch them on and
// off, now or after a delay. An interface is listed (and can be opened) while
// its device is connected and switched on.
//
// Paths are formed as Windows forms them for USB printing support:
// "\\?\usb#vid_fffd&pid_0001#<instance>#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/engraver_device.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

// The device interface class of USB printers, as it ends an interface path.
inline constexpr std::u16string_view kUsbPrintClassText = u"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// "\\?\usb#<hardware>#<instance>#{28d78fad-...}".
std::u16string UsbPrintInterfacePath(std::u16string_view hardware, std::u16string_view instance);
// An engraver's path ("vid_fffd&pid_0001"), with the maker tag in its
// instance part or without it.
std::u16string EngraverInterfacePath(bool makerTag, std::u16string_view serial = u"0001");

class UsbPrinterInterface {
  public:
    UsbPrinterInterface(std::u16string interfacePath, std::shared_ptr<EngraverDevice> device)
        : path(std::move(interfacePath)), engraver(std::move(device)) {}

    std::u16string path;
    bool connected = true;
    bool poweredOn = true;
    // While nonzero, opening the interface fails with this code (another
    // program holds the printer, the driver refuses it, ...).
    std::uint32_t openError = 0;
    // The engraver behind the interface; null for another printer, which
    // takes every write and never answers.
    std::shared_ptr<EngraverDevice> engraver;
    // Links open on it now (with what they read or write and what they let
    // others do), and how many were ever opened.
    struct OpenLinks {
        std::uint32_t count = 0;
        std::uint32_t reading = 0;
        std::uint32_t writing = 0;
        std::uint32_t refusingReaders = 0;  // opened without FILE_SHARE_READ
        std::uint32_t refusingWriters = 0;  // opened without FILE_SHARE_WRITE
    };
    OpenLinks links;
    std::uint32_t linksOpened = 0;

    bool present() const { return connected && poweredOn; }
};

class UsbDevices {
  public:
    UsbDevices(VirtualClock& clock, Trace& trace) : clock_(clock), trace_(trace) {}

    // --- Setting up a scenario (listed after those already there) ------------
    UsbPrinterInterface& addPrinter(std::u16string path);
    UsbPrinterInterface& addEngraver(std::u16string path = EngraverInterfacePath(false));

    // The engraver added as number `which` (0: the first), for scenarios and
    // the simulated user; throws std::out_of_range when there is no such one.
    UsbPrinterInterface& engraver(std::size_t which = 0);

    // --- What the user does, now or after `delay` ms ------------------------
    void switchOff(UsbPrinterInterface& device, Millis delay = 0);
    void switchOn(UsbPrinterInterface& device, Millis delay = 0);
    void unplug(UsbPrinterInterface& device, Millis delay = 0);
    void plugIn(UsbPrinterInterface& device, Millis delay = 0);

    // --- What the system sees ------------------------------------------------
    const std::vector<std::shared_ptr<UsbPrinterInterface>>& all() const { return interfaces_; }
    // The present interfaces, in the order the system lists them.
    std::vector<std::shared_ptr<UsbPrinterInterface>> present() const;
    // A present interface by its path (letter case ignored, as Windows does
    // for device names); null when there is none.
    std::shared_ptr<UsbPrinterInterface> findPresent(std::u16string_view path) const;
    // Whether a path names a device rather than a file ("\\?\..." or "\\.\...").
    static bool IsDevicePath(std::u16string_view path);

  private:
    void change(UsbPrinterInterface& device, Millis delay, const std::string& what,
                void (*apply)(UsbPrinterInterface&));

    VirtualClock& clock_;
    Trace& trace_;
    std::vector<std::shared_ptr<UsbPrinterInterface>> interfaces_;
};

}  // namespace tw::sim
