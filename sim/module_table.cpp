#include "sim/module_table.h"

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

constexpr std::uintptr_t kFirstModuleBase = 0x7FF0'0000;
constexpr std::uintptr_t kModuleSpacing = 0x10'0000;

// "KERNEL32.DLL", "kernel32" and "C:\...\kernel32.dll" name the same module.
std::u16string ModuleKey(std::u16string_view name) {
    std::u16string base(FileName(NormalizePath(name)));
    std::u16string folded = FoldCase(base);
    if (folded.size() > 4 && folded.compare(folded.size() - 4, 4, u".DLL") == 0) {
        folded.resize(folded.size() - 4);
    }
    return folded;
}

}  // namespace

ModuleTable::ModuleTable(FileSystem& files, Trace& trace, std::u16string_view systemFolder)
    : files_(files), trace_(trace) {
    add(u"kernel32", JoinPath(systemFolder, u"kernel32.dll"),
        {"IsWow64Process", "Wow64DisableWow64FsRedirection", "Wow64RevertWow64FsRedirection"},
        true);
    add(u"setupapi", JoinPath(systemFolder, u"setupapi.dll"), {"SetupUninstallOEMInfW"}, false);
}

SimModule& ModuleTable::add(std::u16string_view name, std::u16string_view path,
                            std::set<std::string> exports, bool loaded) {
    SimModule& module = modules_[ModuleKey(name)];
    module = SimModule{std::u16string(name), NormalizePath(path), std::move(exports), loaded, 0};
    if (!files_.isFile(module.path)) {
        files_.addFile(module.path, {'M', 'Z'});
    }
    return module;
}

void ModuleTable::removeExport(std::u16string_view module, const std::string& function) {
    if (SimModule* found = find(module)) {
        found->exports.erase(function);
    }
}

SimModule* ModuleTable::find(std::u16string_view name) {
    auto it = modules_.find(ModuleKey(name));
    return it == modules_.end() ? nullptr : &it->second;
}

platform::Handle ModuleTable::handleOf(const SimModule& module) const {
    std::uintptr_t index = 0;
    for (const auto& [key, candidate] : modules_) {
        if (&candidate == &module) {
            break;
        }
        ++index;
    }
    return platform::Handle{kFirstModuleBase + index * kModuleSpacing};
}

SimModule* ModuleTable::byHandle(platform::Handle module) {
    for (auto& [key, candidate] : modules_) {
        if (handleOf(candidate) == module && (candidate.loaded || candidate.loadCount > 0)) {
            return &candidate;
        }
    }
    return nullptr;
}

platform::Result<platform::Handle> ModuleTable::getModuleHandle(std::u16string_view name) {
    SimModule* module = find(name);
    if (module == nullptr || !(module->loaded || module->loadCount > 0)) {
        return {platform::kNullHandle, win::kErrorModNotFound};
    }
    return {handleOf(*module), 0};
}

platform::Result<platform::Handle> ModuleTable::loadLibrary(std::u16string_view fullPath) {
    SimModule* module = find(fullPath);
    if (module == nullptr || !files_.isFile(fullPath) ||
        !EqualsNoCase(module->path, NormalizePath(fullPath))) {
        return {platform::kNullHandle, win::kErrorModNotFound};
    }
    ++module->loadCount;
    trace_.effect("library loaded " + Utf8(module->path));
    return {handleOf(*module), 0};
}

platform::Result<platform::Procedure> ModuleTable::getProcAddress(platform::Handle module,
                                                                  std::string_view function) {
    SimModule* found = byHandle(module);
    if (found == nullptr) {
        return {platform::kNoProcedure, win::kErrorModNotFound};
    }
    if (found->exports.count(std::string(function)) == 0) {
        return {platform::kNoProcedure, win::kErrorProcNotFound};
    }
    std::string name = Utf8(found->name) + "!" + std::string(function);
    for (const auto& [procedure, known] : procedures_) {
        if (known == name) {
            return {procedure, 0};
        }
    }
    platform::Procedure procedure{static_cast<std::uintptr_t>(module) + 0x1000 +
                                  procedures_.size() * 0x10};
    procedures_.emplace(procedure, name);
    return {procedure, 0};
}

platform::Result<bool> ModuleTable::freeLibrary(platform::Handle module) {
    SimModule* found = byHandle(module);
    if (found == nullptr || found->loadCount == 0) {
        return {false, win::kErrorModNotFound};
    }
    --found->loadCount;
    return {true, 0};
}

std::optional<std::string> ModuleTable::procedureName(platform::Procedure procedure) const {
    auto it = procedures_.find(procedure);
    if (it == procedures_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::uint32_t ModuleTable::outstandingLoads() const {
    std::uint32_t total = 0;
    for (const auto& [key, module] : modules_) {
        total += module.loadCount;
    }
    return total;
}

}  // namespace tw::sim
