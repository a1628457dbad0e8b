#include "sim/sim_setup_api.h"

#include <algorithm>
#include <string>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

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
