// The Kernel area of the seam, served by the simulated machine for one
// simulated process (its program file and current folder).
#pragma once

#include <string>

#include "platform/kernel.h"
#include "sim/machine.h"

namespace tw::sim {

// The process the platform serves: its program file, current folder and
// whether it is a 32-bit program.
struct ProcessContext {
    std::u16string image;
    std::u16string currentDirectory;
    bool bits32 = true;
};

class SimKernel : public platform::Kernel {
  public:
    SimKernel(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    platform::Result<std::uint32_t> GetModuleFileNameW(std::span<char16_t> buffer) override;
    platform::Result<bool> SetCurrentDirectoryW(std::u16string_view path) override;
    platform::Result<std::uint32_t> GetCurrentDirectoryW(std::span<char16_t> buffer) override;
    platform::Result<std::uint32_t> GetSystemDirectoryW(std::span<char16_t> buffer) override;
    platform::Result<std::uint32_t> GetWindowsDirectoryW(std::span<char16_t> buffer) override;
    platform::Result<platform::Handle> CreateFileW(std::u16string_view path, std::uint32_t access,
                                                   std::uint32_t shareMode,
                                                   std::uint32_t disposition,
                                                   std::uint32_t flagsAndAttributes) override;
    platform::Result<bool> ReadFile(platform::Handle file, std::span<std::uint8_t> buffer,
                                    std::uint32_t& bytesRead) override;
    platform::Result<bool> WriteFile(platform::Handle file, std::span<const std::uint8_t> bytes,
                                     std::uint32_t& bytesWritten) override;
    platform::Result<std::uint32_t> GetFileSize(platform::Handle file) override;
    platform::Result<bool> SetFileAttributesW(std::u16string_view path,
                                              std::uint32_t attributes) override;
    platform::Result<bool> DeleteFileW(std::u16string_view path) override;
    platform::Result<std::uint8_t*> GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    platform::Result<std::uint8_t*> GlobalFree(std::uint8_t* block) override;
    platform::Result<platform::Handle> GetModuleHandleW(std::u16string_view name) override;
    platform::Result<platform::Handle> LoadLibraryW(std::u16string_view path) override;
    platform::Result<platform::Procedure> GetProcAddress(platform::Handle module,
                                                         std::string_view name) override;
    platform::Result<bool> FreeLibrary(platform::Handle module) override;
    platform::Result<bool> CreateProcessW(std::u16string_view commandLine,
                                          std::uint32_t creationFlags,
                                          platform::ProcessInformation& info) override;
    platform::Result<std::uint32_t> WaitForSingleObject(platform::Handle handle,
                                                        std::uint32_t milliseconds) override;
    platform::Result<bool> CloseHandle(platform::Handle handle) override;
    platform::Result<std::int32_t> MessageBoxW(platform::WindowHandle owner,
                                               std::u16string_view text,
                                               std::optional<std::u16string_view> caption,
                                               std::uint32_t type) override;

  private:
    // Copies `text` into a caller's buffer the way the folder queries do.
    platform::Result<std::uint32_t> copyFolder(const char* function, std::u16string_view text,
                                               std::span<char16_t> buffer);
    std::u16string fullPath(std::u16string_view path) const;

    SimMachine& m_;
    ProcessContext& process_;
};

}  // namespace tw::sim
