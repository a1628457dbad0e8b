// The simulated registry: keys under the predefined roots, with subkeys and
// typed values. Names compare without regard to letter case. A key can refuse
// deletion (access denied) until its access is granted, as a key whose
// security only an administrator tool can change.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/trace.h"

namespace tw::sim {

enum class RegistryRoot { LocalMachine, CurrentUser };

struct RegistryValue {
    std::uint32_t type = 0;  // REG_SZ = 1, REG_DWORD = 4, ...
    std::vector<std::uint8_t> data;
};

struct RegistryKey {
    std::u16string name;                                  // as created
    std::map<std::u16string, RegistryValue> values;       // by folded name
    std::map<std::u16string, std::u16string> valueNames;  // folded -> as written
    std::map<std::u16string, RegistryKey> subkeys;        // by folded name
    bool deleteDenied = false;
    // Users (folded names) an access-control tool gave full access: a key
    // that denies deletion lets them delete it.
    std::set<std::u16string> fullAccess;
};

class RegistryModel {
  public:
    explicit RegistryModel(Trace& trace);

    // The key at `path` ("Software\Microsoft\..."), or null.
    RegistryKey* find(RegistryRoot root, std::u16string_view path);
    // The key at `path`, created with its missing parents.
    RegistryKey& create(RegistryRoot root, std::u16string_view path);

    // Returns 0, or ERROR_FILE_NOT_FOUND when the key is missing.
    std::uint32_t setValue(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                           RegistryValue value);
    const RegistryValue* value(RegistryRoot root, std::u16string_view path,
                               std::u16string_view name);
    // A REG_SZ value's text without its terminator, or nothing.
    std::optional<std::u16string> stringValue(RegistryRoot root, std::u16string_view path,
                                              std::u16string_view name);

    // Deletes a key with all its subkeys and values: 0, ERROR_FILE_NOT_FOUND,
    // or ERROR_ACCESS_DENIED when a key of the tree refuses deletion to `user`
    // (then nothing is deleted).
    std::uint32_t deleteTree(RegistryRoot root, std::u16string_view path,
                             std::u16string_view user = {});

    // Gives `user` full access to a key and, by inheritance, to its subkeys.
    // False when the key is not there.
    bool grantFullAccess(RegistryRoot root, std::u16string_view path, std::u16string_view user);

  private:
    RegistryKey& rootKey(RegistryRoot root);

    Trace& trace_;
    RegistryKey localMachine_;
    RegistryKey currentUser_;
};

std::string RootName(RegistryRoot root);

}  // namespace tw::sim
