#include "sim/sim_setup_api.h"

#include <cstdio>

#include "platform/win_codes.h"
#include "sim/sim_path.h"
#include "sim/usb_link.h"

namespace tw::sim {
namespace {

// SPINT_ACTIVE: the interface's device is present and started.
constexpr std::uint32_t kSpintActive = 0x1;

platform::Handle AsHandle(platform::DeviceInfoSet set) {
    return platform::Handle{static_cast<std::uintptr_t>(set)};
}

std::string Hex(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

std::string Outcome(bool ok, std::uint32_t error) {
    return ok ? "1" : "0, error " + std::to_string(error);
}

}  // namespace

// --- Device interfaces -----------------------------------------------------

platform::Result<platform::DeviceInfoSet> SimSetupApi::SetupDiGetClassDevsW(
    const platform::Guid& classGuid, std::uint32_t flags) {
    std::string call = "SetupDiGetClassDevsW(" +
                       std::string(classGuid == win::kGuidDevinterfaceUsbprint ? "USB printers"
                                                                               : "another class") +
                       ", flags 0x" + Hex(flags) + ")";
    if (auto planned = m_.faults.check("SetupDiGetClassDevsW")) {
        m_.trace.call(call + " -> INVALID_HANDLE_VALUE, error " + std::to_string(*planned));
        return {platform::kInvalidDeviceInfoSet, *planned};
    }
    // Only interface lists of the USB printer class hold anything here.
    std::vector<std::shared_ptr<UsbPrinterInterface>> members;
    if ((flags & win::kDigcfDeviceinterface) != 0 && classGuid == win::kGuidDevinterfaceUsbprint) {
        members = (flags & win::kDigcfPresent) != 0 ? m_.usb.present() : m_.usb.all();
    }
    std::size_t count = members.size();
    platform::Handle handle = m_.handles.add(std::make_shared<DeviceInfoListObject>(members));
    m_.trace.call(call + " -> list of " + std::to_string(count));
    return {platform::DeviceInfoSet{static_cast<std::uintptr_t>(handle)}, 0};
}

platform::Result<bool> SimSetupApi::SetupDiEnumDeviceInterfaces(
    platform::DeviceInfoSet set, const platform::Guid& interfaceClass, std::uint32_t memberIndex,
    platform::DeviceInterfaceData& data) {
    std::string call = "SetupDiEnumDeviceInterfaces(" + std::to_string(memberIndex) + ")";
    auto fail = [&](std::uint32_t error) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return platform::Result<bool>{false, error};
    };
    if (auto planned = m_.faults.check("SetupDiEnumDeviceInterfaces")) {
        return fail(*planned);
    }
    auto list = m_.handles.get<DeviceInfoListObject>(AsHandle(set));
    if (!list) {
        return fail(win::kErrorInvalidHandle);
    }
    // A record of another size is refused as a bad argument.
    if (data.size != win::kSpDeviceInterfaceDataSize) {
        return fail(win::kErrorInvalidParameter);
    }
    if (interfaceClass != win::kGuidDevinterfaceUsbprint || memberIndex >= list->members.size()) {
        return fail(win::kErrorNoMoreItems);
    }
    data.interfaceClass = win::kGuidDevinterfaceUsbprint;
    data.flags = kSpintActive;
    data.reserved = std::uintptr_t{memberIndex} + 1;
    m_.trace.call(call + " -> 1");
    return {true, 0};
}

platform::Result<bool> SimSetupApi::SetupDiGetDeviceInterfaceDetailW(
    platform::DeviceInfoSet set, const platform::DeviceInterfaceData& data,
    std::span<std::uint8_t> detail, std::uint32_t& requiredSize) {
    auto list = m_.handles.get<DeviceInfoListObject>(AsHandle(set));
    std::shared_ptr<UsbPrinterInterface> member;
    if (list && data.reserved >= 1 && data.reserved <= list->members.size()) {
        member = list->members[data.reserved - 1];
    }
    std::u16string path = member ? member->path : std::u16string();
    std::string call =
        "SetupDiGetDeviceInterfaceDetailW(" +
        (detail.empty() ? std::string("size query") : std::to_string(detail.size()) + " bytes") +
        ", \"" + Utf8(path) + "\")";
    auto fail = [&](std::uint32_t error) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return platform::Result<bool>{false, error};
    };
    if (auto planned = m_.faults.check("SetupDiGetDeviceInterfaceDetailW", path)) {
        return fail(*planned);
    }
    if (!list) {
        return fail(win::kErrorInvalidHandle);
    }
    if (data.size != win::kSpDeviceInterfaceDataSize || !member) {
        return fail(win::kErrorInvalidParameter);
    }
    // The fixed part (its size field) and the path with its terminator.
    const auto required =
        static_cast<std::uint32_t>(win::kSpDeviceInterfaceDetailPathOffset + 2 * (path.size() + 1));
    if (detail.empty()) {
        requiredSize = required;
        return fail(win::kErrorInsufficientBuffer);
    }
    std::uint32_t sizeField = 0;
    if (detail.size() >= 4) {
        sizeField = detail[0] | (detail[1] << 8) | (detail[2] << 16) |
                    (static_cast<std::uint32_t>(detail[3]) << 24);
    }
    if (detail.size() < win::kSpDeviceInterfaceDetailDataSize ||
        sizeField != win::kSpDeviceInterfaceDetailDataSize) {
        return fail(win::kErrorInvalidUserBuffer);
    }
    if (detail.size() < required) {
        requiredSize = required;
        return fail(win::kErrorInsufficientBuffer);
    }
    std::size_t at = win::kSpDeviceInterfaceDetailPathOffset;
    for (char16_t unit : path) {
        detail[at++] = static_cast<std::uint8_t>(unit & 0xFF);
        detail[at++] = static_cast<std::uint8_t>(unit >> 8);
    }
    detail[at++] = 0;
    detail[at] = 0;
    requiredSize = required;
    m_.trace.call(call + " -> 1");
    return {true, 0};
}

platform::Result<bool> SimSetupApi::SetupDiDestroyDeviceInfoList(platform::DeviceInfoSet set) {
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("SetupDiDestroyDeviceInfoList")) {
        error = *planned;
    } else if (!m_.handles.get<DeviceInfoListObject>(AsHandle(set))) {
        error = win::kErrorInvalidHandle;
    } else {
        m_.handles.close(AsHandle(set));
    }
    m_.trace.call("SetupDiDestroyDeviceInfoList -> " + Outcome(error == 0, error));
    return {error == 0, error};
}

}  // namespace tw::sim
