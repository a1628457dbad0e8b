// Modules (DLLs) of the simulated machine and the functions they export, for
// the functions the programs look up by name. A scenario removes a function or
// a module to play an older system that lacks it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/handle.h"
#include "platform/result.h"
#include "sim/file_system.h"
#include "sim/trace.h"

namespace tw::sim {

struct SimModule {
    std::u16string name;  // "kernel32"
    std::u16string path;  // its file, e.g. C:\Windows\System32\kernel32.dll
    std::set<std::string> exports;
    bool loaded = false;  // mapped into every process from the start
    std::uint32_t loadCount = 0;
};

class ModuleTable {
  public:
    ModuleTable(FileSystem& files, Trace& trace, std::u16string_view systemFolder);

    // Adds or replaces a module and puts its file on disk.
    SimModule& add(std::u16string_view name, std::u16string_view path,
                   std::set<std::string> exports, bool loaded);
    // Takes a function away from a module (an older system).
    void removeExport(std::u16string_view module, const std::string& function);
    SimModule* find(std::u16string_view name);

    platform::Result<platform::Handle> getModuleHandle(std::u16string_view name);
    platform::Result<platform::Handle> loadLibrary(std::u16string_view fullPath);
    platform::Result<platform::Procedure> getProcAddress(platform::Handle module,
                                                         std::string_view function);
    platform::Result<bool> freeLibrary(platform::Handle module);

    // The function a procedure stands for ("kernel32!IsWow64Process"), for
    // the simulated calls that take one; nothing for an unknown value.
    std::optional<std::string> procedureName(platform::Procedure procedure) const;
    // Libraries loaded with LoadLibraryW and not freed.
    std::uint32_t outstandingLoads() const;

  private:
    SimModule* byHandle(platform::Handle module);
    platform::Handle handleOf(const SimModule& module) const;

    FileSystem& files_;
    Trace& trace_;
    std::map<std::u16string, SimModule> modules_;  // by folded name
    std::map<platform::Procedure, std::string> procedures_;
};

}  // namespace tw::sim
