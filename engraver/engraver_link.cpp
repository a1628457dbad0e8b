#include "engraver/engraver_link.h"

#include <string>

#include "platform/win_codes.h"

namespace tw::engraver {
namespace {

using platform::DeviceInfoSet;
using platform::DeviceInterfaceData;
using platform::Handle;

// What became of one interface's path.
enum class PathOutcome {
    Taken,    // the path is in the buffer
    Skipped,  // go on with the next interface: no memory for it, or its path does not fit
    Failed,   // the detail query failed: the search ends
};

// Takes the UTF-16 path that follows the size field of a filled detail
// record. The path must end with its terminator inside the record and fit
// the path buffer whole.
bool TakePath(std::span<const std::uint8_t> record, DevicePathBuffer& path) {
    std::span<const std::uint8_t> text = record.subspan(win::kSpDeviceInterfaceDetailPathOffset);
    std::u16string units;
    for (std::size_t at = 0; at + 1 < text.size(); at += 2) {
        auto unit = static_cast<char16_t>(text[at] | (text[at + 1] << 8));
        if (unit == u'\0') {
            return path.assign(units);  // refuses a path longer than the buffer holds
        }
        units.push_back(unit);
    }
    return false;  // no terminator inside the record
}

// The path of the interface described by `data`: the size query, a zeroed
// block of that size, the filled query.
PathOutcome ReadInterfacePath(platform::Platform& platform, DeviceInfoSet list,
                              const DeviceInterfaceData& data, DevicePathBuffer& path) {
    platform::SetupApi& setupApi = platform.setupApi;
    platform::Kernel& kernel = platform.kernel;

    // Expected to fail for want of a buffer; only the size it reports counts.
    std::uint32_t required = 0;
    setupApi.SetupDiGetDeviceInterfaceDetailW(list, data, {}, required);
    if (required < win::kSpDeviceInterfaceDetailDataSize) {
        return PathOutcome::Failed;
    }

    auto block = kernel.GlobalAlloc(win::kGptr, required);
    if (block.value == nullptr) {
        return PathOutcome::Skipped;
    }
    std::span<std::uint8_t> record(block.value, required);
    // The size field holds the size of the record's fixed part.
    record[0] = static_cast<std::uint8_t>(win::kSpDeviceInterfaceDetailDataSize);
    record[1] = record[2] = record[3] = 0;

    std::uint32_t filledSize = 0;
    auto filled = setupApi.SetupDiGetDeviceInterfaceDetailW(list, data, record, filledSize);
    PathOutcome outcome = PathOutcome::Failed;
    if (filled.value) {
        outcome = TakePath(record, path) ? PathOutcome::Taken : PathOutcome::Skipped;
    }
    kernel.GlobalFree(block.value);
    return outcome;
}

}  // namespace

Handle OpenEngraver(platform::Platform& platform, std::int32_t& makerTagFound) {
    makerTagFound = 0;
    platform::SetupApi& setupApi = platform.setupApi;

    auto list = setupApi.SetupDiGetClassDevsW(win::kGuidDevinterfaceUsbprint,
                                              win::kDigcfPresent | win::kDigcfDeviceinterface);
    if (list.value == platform::kInvalidDeviceInfoSet) {
        return platform::kNullHandle;
    }

    DevicePathBuffer path;
    bool found = false;
    for (std::uint32_t index = 0; !found; ++index) {
        DeviceInterfaceData data;
        data.size = win::kSpDeviceInterfaceDataSize;
        if (!setupApi
                 .SetupDiEnumDeviceInterfaces(list.value, win::kGuidDevinterfaceUsbprint, index,
                                              data)
                 .value) {
            break;
        }
        PathOutcome outcome = ReadInterfacePath(platform, list.value, data, path);
        if (outcome == PathOutcome::Failed) {
            setupApi.SetupDiDestroyDeviceInfoList(list.value);
            return platform::kNullHandle;
        }
        found = outcome == PathOutcome::Taken &&
                path.view().find(kMatchText) != std::u16string_view::npos;
    }

    Handle link = platform::kNullHandle;
    if (found) {
        // Recorded before the open, whatever becomes of it.
        if (path.view().find(kMakerTag) != std::u16string_view::npos) {
            makerTagFound = 1;
        }
        auto opened = platform.kernel.CreateFileW(
            path.view(), win::kGenericRead | win::kGenericWrite, win::kFileShareRead,
            win::kOpenAlways, win::kFileFlagSequentialScan | win::kFileAttributeNormal);
        if (opened.value != platform::kInvalidHandleValue) {
            link = opened.value;
        }
    }
    setupApi.SetupDiDestroyDeviceInfoList(list.value);
    return link;
}

}  // namespace tw::engraver
