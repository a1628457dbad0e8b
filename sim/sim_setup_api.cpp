#include "sim/sim_setup_api.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
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

platform::Result<bool> SimSetupApi::SetupGetInfInformationW(std::u16string_view infSpec,
                                                            std::uint32_t searchControl,
                                                            platform::InfInformation* buffer,
                                                            std::uint32_t bufferSize,
                                                            std::uint32_t& requiredSize) {
    std::string call =
        "SetupGetInfInformationW(" + Quote(infSpec) + ", " +
        (buffer == nullptr ? std::string("size query") : std::to_string(bufferSize) + " bytes") +
        ")";
    if (auto planned = m_.faults.check("SetupGetInfInformationW", infSpec)) {
        return Failed(m_.trace, call, *planned);
    }
    InfVersion version;
    std::uint32_t error = win::kErrorInvalidParameter;
    if (searchControl == win::kInfinfoDefaultSearch) {
        error = m_.infs.readInformation(infSpec, version);
    } else if (searchControl == kInfinfoInfNameIsAbsolute) {
        error = m_.infs.readInformation(ResolvePath(process_.currentDirectory, infSpec), version);
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

}  // namespace tw::sim
