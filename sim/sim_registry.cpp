#include "sim/sim_registry.h"

#include <algorithm>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

// --- Deleting a key tree and the user name -------------------------------------------

platform::Result<std::uint32_t> SimRegistry::SHDeleteKeyW(platform::KeyHandle root,
                                                          std::u16string_view subKey) {
    std::string call = "SHDeleteKeyW(\"" + Utf8(subKey) + "\")";
    std::uint32_t status = 0;
    if (auto planned = m_.faults.check("SHDeleteKeyW", subKey)) {
        status = *planned;
    } else if (root != platform::kHkeyLocalMachine) {
        status = win::kErrorInvalidHandle;
    } else {
        status = m_.registry.deleteTree(RegistryRoot::LocalMachine, subKey, m_.userName);
    }
    m_.trace.call(call + " -> " + std::to_string(status));
    return {status, status};
}

platform::Result<bool> SimRegistry::GetUserNameW(std::span<char16_t> buffer, std::uint32_t& size) {
    if (auto planned = m_.faults.check("GetUserNameW")) {
        m_.trace.call("GetUserNameW -> 0, error " + std::to_string(*planned));
        return {false, *planned};
    }
    const std::u16string& name = m_.userName;
    auto needed = static_cast<std::uint32_t>(name.size() + 1);
    if (size < needed || buffer.size() < needed) {
        size = needed;
        m_.trace.call("GetUserNameW -> 0, error 122 (" + std::to_string(needed) + " needed)");
        return {false, win::kErrorInsufficientBuffer};
    }
    std::copy(name.begin(), name.end(), buffer.begin());
    buffer[name.size()] = u'\0';
    size = needed;
    m_.trace.call("GetUserNameW -> \"" + Utf8(name) + "\"");
    return {true, 0};
}

}  // namespace tw::sim
