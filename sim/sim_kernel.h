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
    // A 32-bit program on 64-bit Windows that switched file-system
    // redirection off.
    bool redirectionDisabled = false;
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
    platform::Result<platform::Handle> FindFirstFileW(std::u16string_view pattern,
                                                      platform::FindData& found) override;
    platform::Result<bool> FindNextFileW(platform::Handle search,
                                         platform::FindData& found) override;
    platform::Result<bool> FindClose(platform::Handle search) override;
    platform::Result<std::uint8_t*> GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    platform::Result<std::uint8_t*> GlobalFree(std::uint8_t* block) override;
    platform::Result<platform::Handle> GetModuleHandleW(std::u16string_view name) override;
    platform::Result<platform::Handle> LoadLibraryW(std::u16string_view path) override;
    platform::Result<platform::Procedure> GetProcAddress(platform::Handle module,
                                                         std::string_view name) override;
    platform::Result<bool> FreeLibrary(platform::Handle module) override;
    // Time, folders, exit codes and WOW64 (the driver files' removal).
    platform::Result<std::uint32_t> GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    platform::Result<platform::Handle> GetCurrentProcess() override;
    platform::Result<std::uint32_t> GetTempPathW(std::span<char16_t> buffer) override;
    platform::Result<bool> CreateDirectoryW(std::u16string_view path) override;
    platform::Result<bool> GetExitCodeProcess(platform::Handle process,
                                              std::uint32_t& exitCode) override;
    platform::Result<bool> IsWow64Process(platform::Procedure procedure, platform::Handle process,
                                          std::int32_t& wow64) override;
    platform::Result<bool> Wow64DisableWow64FsRedirection(platform::Procedure procedure,
                                                          std::uintptr_t& oldValue) override;
    platform::Result<bool> Wow64RevertWow64FsRedirection(platform::Procedure procedure,
                                                         std::uintptr_t oldValue) override;
    platform::Result<bool> CreateProcessW(std::u16string_view commandLine,
                                          std::uint32_t creationFlags,
                                          platform::ProcessInformation& info) override;
    platform::Result<std::uint32_t> WaitForSingleObject(platform::Handle handle,
                                                        std::uint32_t milliseconds) override;
    platform::Result<std::uint32_t> WaitForInputIdle(platform::Handle process,
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
    // The full path a file call reaches: a 32-bit program on 64-bit Windows
    // is sent from the system folder to the 32-bit one unless it switched
    // redirection off.
    std::u16string fileSystemPath(std::u16string_view path) const;
    // Checks that a procedure passed to a call is the function it stands for;
    // calling through any other would crash the program.
    void expectProcedure(platform::Procedure procedure, std::string_view function) const;

    SimMachine& m_;
    ProcessContext& process_;
    // Tick count readings at the same virtual time: a program that spins on
    // the tick count waits for ever on the virtual clock.
    Millis lastTickRead_ = 0;
    std::uint32_t tickReadsWithoutTime_ = 0;
};

}  // namespace tw::sim
