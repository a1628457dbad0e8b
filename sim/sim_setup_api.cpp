#include "sim/sim_setup_api.h"

#include <cstdio>

#include <algorithm>
#include <stdexcept>
#include <string>
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

namespace {

std::string Quote(std::u16string_view text) {
    return "\"" + Utf8(text) + "\"";
}

platform::Result<bool> Failed(Trace& trace, const std::string& call, std::uint32_t error) {
    trace.call(call + " -> 0, error " + std::to_string(error));
    return {false, error};
}

// The INF search controls this machine serves.
constexpr std::uint32_t kInfinfoInfNameIsAbsolute = 2;
constexpr std::uint32_t kInfStyleWin4 = 2;
// The block's fixed part (InfStyle, InfCount) before its version data.
constexpr std::uint32_t kInfInformationHeader = 8;
// A version entry the INF does not have. The system documents no code for
// this; the program only sees that the call failed.
constexpr std::uint32_t kErrorInvalidData = 13;

}  // namespace

// --- INF information and uninstall ---------------------------------------------

platform::Result<bool> SimSetupApi::SetupGetInfInformationW(std::u16string_view infName,
                                                            std::uint32_t searchControl,
                                                            platform::InfInformation* buffer,
                                                            std::uint32_t bufferSize,
                                                            std::uint32_t& requiredSize) {
    std::string call =
        "SetupGetInfInformationW(" + Quote(infName) + ", " +
        (buffer == nullptr ? std::string("size query") : std::to_string(bufferSize) + " bytes") +
        ")";
    if (auto planned = m_.faults.check("SetupGetInfInformationW", infName)) {
        return Failed(m_.trace, call, *planned);
    }
    InfVersion version;
    std::uint32_t error = win::kErrorInvalidParameter;
    if (searchControl == win::kInfinfoDefaultSearch) {
        error = m_.infs.readInformation(infName, version);
    } else if (searchControl == kInfinfoInfNameIsAbsolute) {
        error = m_.infs.readInformation(ResolvePath(process_.currentDirectory, infName), version);
    }
    if (error != 0) {
        return Failed(m_.trace, call, error);
    }
    std::vector<std::uint8_t> data = EncodeVersionData(version);
    auto needed = static_cast<std::uint32_t>(kInfInformationHeader + data.size());
    requiredSize = needed;
    if (buffer == nullptr) {
        // A size without a buffer is a mistake of the caller's.
        if (bufferSize >= needed) {
            return Failed(m_.trace, call, win::kErrorInvalidParameter);
        }
        m_.trace.call(call + " -> 1, " + std::to_string(needed) + " bytes needed");
        return {true, 0};
    }
    if (bufferSize < needed) {
        return Failed(m_.trace, call, win::kErrorInsufficientBuffer);
    }
    buffer->infStyle = kInfStyleWin4;
    buffer->infCount = 1;
    buffer->versionData = std::move(data);
    m_.trace.call(call + " -> 1");
    return {true, 0};
}

platform::Result<bool> SimSetupApi::SetupQueryInfVersionInformationW(
    const platform::InfInformation& information, std::uint32_t infIndex, std::u16string_view key,
    std::span<char16_t> buffer, std::uint32_t& requiredSize) {
    std::optional<InfVersion> version = DecodeVersionData(information.versionData);
    std::string call =
        "SetupQueryInfVersionInformationW(" + (version ? Quote(FileName(version->path)) : "?") +
        ", " + Quote(key) + ", " +
        (buffer.empty() ? std::string("size query") : std::to_string(buffer.size()) + " chars") +
        ")";
    if (auto planned = m_.faults.check("SetupQueryInfVersionInformationW", key)) {
        return Failed(m_.trace, call, *planned);
    }
    if (!version || infIndex >= information.infCount) {
        return Failed(m_.trace, call, win::kErrorInvalidParameter);
    }
    auto entry = std::find_if(version->entries.begin(), version->entries.end(),
                              [&](const auto& pair) { return EqualsNoCase(pair.first, key); });
    if (entry == version->entries.end()) {
        return Failed(m_.trace, call, kErrorInvalidData);
    }
    const std::u16string& value = entry->second;
    auto needed = static_cast<std::uint32_t>(value.size() + 1);
    requiredSize = needed;
    if (!buffer.empty()) {
        if (buffer.size() < needed) {
            return Failed(m_.trace, call, win::kErrorInsufficientBuffer);
        }
        std::copy(value.begin(), value.end(), buffer.begin());
        buffer[value.size()] = u'\0';
    }
    m_.trace.call(call + " -> 1, " + Quote(value));
    return {true, 0};
}

platform::Result<bool> SimSetupApi::SetupUninstallOEMInfW(platform::Procedure procedure,
                                                          std::u16string_view infFileName,
                                                          std::uint32_t flags) {
    std::string call =
        "SetupUninstallOEMInfW(" + Quote(infFileName) + ", " + std::to_string(flags) + ")";
    // Only what GetProcAddress gave for this very function can be called.
    if (m_.modules.procedureName(procedure) != "setupapi!SetupUninstallOEMInfW") {
        throw std::logic_error("SetupUninstallOEMInfW called through a procedure that is not it");
    }
    if (auto planned = m_.faults.check("SetupUninstallOEMInfW", infFileName)) {
        return Failed(m_.trace, call, *planned);
    }
    if (std::uint32_t error = m_.infs.uninstall(infFileName)) {
        return Failed(m_.trace, call, error);
    }
    m_.trace.call(call + " -> 1");
    return {true, 0};
}

// --- The restart prompt (the reboot fallback) ----------------------------------

platform::Result<std::int32_t> SimSetupApi::SetupPromptReboot() {
    if (auto planned = m_.faults.check("SetupPromptReboot")) {
        m_.trace.call("SetupPromptReboot -> -1, error " + std::to_string(*planned));
        return {-1, *planned};
    }
    RestartPrompt& prompt = m_.restartPrompt;
    m_.trace.screen("restart prompt: restart the computer now?");
    prompt.shown.push_back({m_.clock.now(), prompt.userAgrees});
    m_.clock.advanceBy(prompt.answerTime);
    std::int32_t flags = win::kSpFileQRebootRecommended;
    if (prompt.userAgrees) {
        prompt.restartStarted = true;
        flags |= win::kSpFileQRebootInProgress;
        m_.trace.effect("restart of the computer started");
    } else {
        m_.trace.screen("the user declines the restart");
    }
    m_.trace.call("SetupPromptReboot -> " + std::to_string(flags));
    return {flags, 0};
}

// --- Driver store ------------------------------------------------------------

platform::Result<bool> SimSetupApi::SetupCopyOEMInfW(
    std::u16string_view sourceInf, std::uint32_t mediaType, std::uint32_t copyStyle,
    std::span<char16_t> destination, std::uint32_t& requiredSize, std::size_t& fileNamePart) {
    std::string call = "SetupCopyOEMInfW(\"" + Utf8(sourceInf) + "\", media type " +
                       std::to_string(mediaType) + ", style " + std::to_string(copyStyle) + ")";
    auto fail = [&](std::uint32_t error) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return platform::Result<bool>{false, error};
    };
    if (auto planned = m_.faults.check("SetupCopyOEMInfW", sourceInf)) {
        return fail(*planned);
    }
    // The machine knows the copy style 0 (copy, or find the same INF again)
    // and the media types "none" and "path".
    if (mediaType != win::kSpostNone && mediaType != win::kSpostPath) {
        return fail(win::kErrorInvalidParameter);
    }
    std::u16string published;
    if (std::uint32_t error =
            m_.driverStore.copyOemInf(sourceInf, mediaType == win::kSpostPath, published)) {
        return fail(error);
    }
    requiredSize = static_cast<std::uint32_t>(published.size() + 1);
    if (destination.size() < published.size() + 1) {
        return fail(win::kErrorInsufficientBuffer);
    }
    std::copy(published.begin(), published.end(), destination.begin());
    destination[published.size()] = u'\0';
    fileNamePart = published.rfind(u'\\') + 1;
    m_.trace.call(call + " -> 1, \"" + Utf8(published) + "\"");
    return {true, 0};
}

}  // namespace tw::sim
