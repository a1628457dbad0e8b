#include "sim/sim_registry.h"

#include <algorithm>

#include <memory>
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

namespace {

// The object behind a key the program opened.
class KeyObject : public KernelObject {
  public:
    KeyObject(RegistryRoot keyRoot, std::u16string keyPath, std::uint32_t keyAccess)
        : root(keyRoot), path(std::move(keyPath)), access(keyAccess) {}
    std::string describe() const override { return "key " + RootName(root) + "\\" + Utf8(path); }
    RegistryRoot root;
    std::u16string path;
    std::uint32_t access;
};

constexpr platform::KeyHandle kHkeyCurrentUser{0x80000001};

}  // namespace

platform::Result<std::uint32_t> SimRegistry::RegOpenKeyExW(platform::KeyHandle root,
                                                           std::u16string_view subKey,
                                                           std::uint32_t desiredAccess,
                                                           platform::KeyHandle& key) {
    key = platform::KeyHandle{0};
    std::uint32_t status = 0;
    std::optional<RegistryRoot> model;
    if (root == platform::kHkeyLocalMachine) {
        model = RegistryRoot::LocalMachine;
    } else if (root == kHkeyCurrentUser) {
        model = RegistryRoot::CurrentUser;
    }
    if (auto planned = m_.faults.check("RegOpenKeyExW", subKey)) {
        status = *planned;
    } else if (!model) {
        status = win::kErrorInvalidHandle;
    } else if (m_.registry.find(*model, subKey) == nullptr) {
        status = win::kErrorFileNotFound;
    } else {
        platform::Handle handle = m_.handles.add(
            std::make_shared<KeyObject>(*model, std::u16string(subKey), desiredAccess));
        key = platform::KeyHandle{static_cast<std::uintptr_t>(handle)};
    }
    m_.trace.call("RegOpenKeyExW(" + (model ? RootName(*model) : std::string("?")) + "\\" +
                  Utf8(subKey) + ", access " + std::to_string(desiredAccess) + ") -> " +
                  std::to_string(status));
    return {status, status};
}

platform::Result<std::uint32_t> SimRegistry::RegSetValueExW(platform::KeyHandle key,
                                                            std::u16string_view name,
                                                            std::uint32_t type,
                                                            std::span<const std::uint8_t> data) {
    auto object = m_.handles.get<KeyObject>(platform::Handle{static_cast<std::uintptr_t>(key)});
    std::uint32_t status = 0;
    if (!object) {
        status = win::kErrorInvalidHandle;
    } else if (auto planned = m_.faults.check("RegSetValueExW", name)) {
        status = *planned;
    } else if ((object->access & win::kKeySetValue) == 0) {
        status = win::kErrorAccessDenied;
    } else {
        status = m_.registry.setValue(object->root, object->path, name,
                                      RegistryValue{type, {data.begin(), data.end()}});
    }
    m_.trace.call("RegSetValueExW(" + (object ? object->describe() : "invalid key") + ", \"" +
                  Utf8(name) + "\", type " + std::to_string(type) + ", " +
                  std::to_string(data.size()) + " bytes) -> " + std::to_string(status));
    return {status, status};
}

platform::Result<std::uint32_t> SimRegistry::RegCloseKey(platform::KeyHandle key) {
    platform::Handle handle{static_cast<std::uintptr_t>(key)};
    std::uint32_t status = 0;
    if (!m_.handles.get<KeyObject>(handle)) {
        status = win::kErrorInvalidHandle;
    } else {
        m_.handles.close(handle);
    }
    m_.trace.call("RegCloseKey -> " + std::to_string(status));
    return {status, status};
}

}  // namespace tw::sim
