#include "sim/registry_model.h"

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

std::vector<std::u16string_view> SplitKeyPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

bool AnyDenied(const RegistryKey& key, const std::u16string& foldedUser) {
    if (key.deleteDenied && key.fullAccess.count(foldedUser) == 0) {
        return true;
    }
    for (const auto& [name, child] : key.subkeys) {
        if (AnyDenied(child, foldedUser)) {
            return true;
        }
    }
    return false;
}

void GrantTree(RegistryKey& key, const std::u16string& foldedUser) {
    key.fullAccess.insert(foldedUser);
    for (auto& [name, child] : key.subkeys) {
        GrantTree(child, foldedUser);
    }
}

}  // namespace

std::string RootName(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? "HKLM" : "HKCU";
}

RegistryModel::RegistryModel(Trace& trace) : trace_(trace) {
    create(RegistryRoot::LocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    create(RegistryRoot::LocalMachine, u"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT");
}

RegistryKey& RegistryModel::rootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? localMachine_ : currentUser_;
}

RegistryKey* RegistryModel::find(RegistryRoot root, std::u16string_view path) {
    RegistryKey* key = &rootKey(root);
    for (std::u16string_view part : SplitKeyPath(path)) {
        auto it = key->subkeys.find(FoldCase(part));
        if (it == key->subkeys.end()) {
            return nullptr;
        }
        key = &it->second;
    }
    return key;
}

RegistryKey& RegistryModel::create(RegistryRoot root, std::u16string_view path) {
    RegistryKey* key = &rootKey(root);
    for (std::u16string_view part : SplitKeyPath(path)) {
        RegistryKey& child = key->subkeys[FoldCase(part)];
        if (child.name.empty()) {
            child.name = std::u16string(part);
        }
        key = &child;
    }
    return *key;
}

std::uint32_t RegistryModel::setValue(RegistryRoot root, std::u16string_view path,
                                      std::u16string_view name, RegistryValue value) {
    RegistryKey* key = find(root, path);
    if (key == nullptr) {
        return win::kErrorFileNotFound;
    }
    // A text value shows its text (up to its first terminator) in the trace.
    std::string shown;
    if (value.type == 1) {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
            auto unit = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
            if (unit == 0) {
                break;
            }
            text.push_back(unit);
        }
        shown = " = " + Utf8(text);
    }
    std::u16string folded = FoldCase(name);
    key->values[folded] = std::move(value);
    key->valueNames[folded] = std::u16string(name);
    trace_.effect("registry value set " + RootName(root) + "\\" + Utf8(path) + " " + Utf8(name) +
                  shown);
    return 0;
}

const RegistryValue* RegistryModel::value(RegistryRoot root, std::u16string_view path,
                                          std::u16string_view name) {
    RegistryKey* key = find(root, path);
    if (key == nullptr) {
        return nullptr;
    }
    auto it = key->values.find(FoldCase(name));
    return it == key->values.end() ? nullptr : &it->second;
}

std::optional<std::u16string> RegistryModel::stringValue(RegistryRoot root,
                                                         std::u16string_view path,
                                                         std::u16string_view name) {
    const RegistryValue* found = value(root, path, name);
    if (found == nullptr || found->type != 1) {
        return std::nullopt;
    }
    std::u16string text;
    for (std::size_t i = 0; i + 1 < found->data.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(found->data[i] | (found->data[i + 1] << 8));
        if (unit == u'\0') {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

std::uint32_t RegistryModel::deleteTree(RegistryRoot root, std::u16string_view path,
                                        std::u16string_view user) {
    std::vector<std::u16string_view> parts = SplitKeyPath(path);
    if (parts.empty()) {
        return win::kErrorAccessDenied;
    }
    RegistryKey* parent = &rootKey(root);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = parent->subkeys.find(FoldCase(parts[i]));
        if (it == parent->subkeys.end()) {
            return win::kErrorFileNotFound;
        }
        parent = &it->second;
    }
    auto it = parent->subkeys.find(FoldCase(parts.back()));
    if (it == parent->subkeys.end()) {
        return win::kErrorFileNotFound;
    }
    if (AnyDenied(it->second, FoldCase(user))) {
        return win::kErrorAccessDenied;
    }
    parent->subkeys.erase(it);
    trace_.effect("registry key deleted " + RootName(root) + "\\" + Utf8(path));
    return 0;
}

bool RegistryModel::grantFullAccess(RegistryRoot root, std::u16string_view path,
                                    std::u16string_view user) {
    RegistryKey* key = find(root, path);
    if (key == nullptr) {
        return false;
    }
    GrantTree(*key, FoldCase(user));
    trace_.effect("registry key " + RootName(root) + "\\" + Utf8(path) + ": full access for " +
                  Utf8(user));
    return true;
}

}  // namespace tw::sim
