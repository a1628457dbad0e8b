#include "sim/usb_devices.h"

#include <stdexcept>

#include "sim/sim_path.h"

namespace tw::sim {

std::u16string UsbPrintInterfacePath(std::u16string_view hardware, std::u16string_view instance) {
    std::u16string path = u"\\\\?\\usb#";
    path += hardware;
    path += u'#';
    path += instance;
    path += u'#';
    path += kUsbPrintClassText;
    return path;
}

std::u16string EngraverInterfacePath(bool makerTag, std::u16string_view serial) {
    std::u16string instance = makerTag ? u"velmo" : u"tw";
    instance += serial;
    return UsbPrintInterfacePath(u"vid_fffd&pid_0001", instance);
}

UsbPrinterInterface& UsbDevices::addPrinter(std::u16string path) {
    interfaces_.push_back(std::make_shared<UsbPrinterInterface>(std::move(path), nullptr));
    return *interfaces_.back();
}

UsbPrinterInterface& UsbDevices::addEngraver(std::u16string path) {
    interfaces_.push_back(
        std::make_shared<UsbPrinterInterface>(std::move(path), std::make_shared<EngraverDevice>()));
    return *interfaces_.back();
}

UsbPrinterInterface& UsbDevices::engraver(std::size_t which) {
    for (const auto& device : interfaces_) {
        if (device->engraver && which-- == 0) {
            return *device;
        }
    }
    throw std::out_of_range("no such engraver on the simulated USB");
}

void UsbDevices::change(UsbPrinterInterface& device, Millis delay, const std::string& what,
                        void (*apply)(UsbPrinterInterface&)) {
    auto act = [this, &device, what, apply] {
        bool wasPresent = device.present();
        apply(device);
        std::string seen = device.present() == wasPresent ? ""
                           : device.present()             ? " (its interface appears)"
                                                          : " (its interface is gone)";
        trace_.effect("USB: " + what + " " + Utf8(device.path) + seen);
    };
    if (delay == 0) {
        act();
        return;
    }
    clock_.scheduleIn(delay, "user: " + what, act);
}

void UsbDevices::switchOff(UsbPrinterInterface& device, Millis delay) {
    change(device, delay, "switch off", [](UsbPrinterInterface& d) { d.poweredOn = false; });
}

void UsbDevices::switchOn(UsbPrinterInterface& device, Millis delay) {
    change(device, delay, "switch on", [](UsbPrinterInterface& d) { d.poweredOn = true; });
}

void UsbDevices::unplug(UsbPrinterInterface& device, Millis delay) {
    change(device, delay, "unplug", [](UsbPrinterInterface& d) { d.connected = false; });
}

void UsbDevices::plugIn(UsbPrinterInterface& device, Millis delay) {
    change(device, delay, "plug in", [](UsbPrinterInterface& d) { d.connected = true; });
}

std::vector<std::shared_ptr<UsbPrinterInterface>> UsbDevices::present() const {
    std::vector<std::shared_ptr<UsbPrinterInterface>> out;
    for (const auto& device : interfaces_) {
        if (device->present()) {
            out.push_back(device);
        }
    }
    return out;
}

std::shared_ptr<UsbPrinterInterface> UsbDevices::findPresent(std::u16string_view path) const {
    for (const auto& device : interfaces_) {
        if (device->present() && EqualsNoCase(device->path, path)) {
            return device;
        }
    }
    return nullptr;
}

bool UsbDevices::IsDevicePath(std::u16string_view path) {
    if (!path.starts_with(u"\\\\?\\") && !path.starts_with(u"\\\\.\\")) {
        return false;
    }
    // "\\?\C:\..." is a file path in its long form, not a device.
    std::u16string_view rest = path.substr(4);
    return !(rest.size() >= 2 && rest[1] == u':');
}

}  // namespace tw::sim
