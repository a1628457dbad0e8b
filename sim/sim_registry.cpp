#include "sim/sim_registry.h"

#include <memory>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
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
