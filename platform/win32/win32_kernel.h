// The Kernel area forwarded to the real system: each method calls its Win32
// function and returns its value with GetLastError. No decisions here.
#pragma once

#include "platform/kernel.h"

namespace tw::platform::win32 {

class Win32Kernel : public Kernel {
  public:
    Result<std::uint32_t> GetModuleFileNameW(std::span<char16_t> buffer) override;
    Result<bool> SetCurrentDirectoryW(std::u16string_view path) override;
    Result<std::uint32_t> GetCurrentDirectoryW(std::span<char16_t> buffer) override;
    Result<std::uint32_t> GetSystemDirectoryW(std::span<char16_t> buffer) override;
    Result<std::uint32_t> GetWindowsDirectoryW(std::span<char16_t> buffer) override;
    Result<Handle> CreateFileW(std::u16string_view path, std::uint32_t access,
                               std::uint32_t shareMode, std::uint32_t disposition,
                               std::uint32_t flagsAndAttributes) override;
    Result<bool> ReadFile(Handle file, std::span<std::uint8_t> buffer,
                          std::uint32_t& bytesRead) override;
    Result<bool> WriteFile(Handle file, std::span<const std::uint8_t> bytes,
                           std::uint32_t& bytesWritten) override;
    Result<std::uint32_t> GetFileSize(Handle file) override;
    Result<bool> SetFileAttributesW(std::u16string_view path, std::uint32_t attributes) override;
    Result<bool> DeleteFileW(std::u16string_view path) override;
    Result<Handle> FindFirstFileW(std::u16string_view pattern, FindData& found) override;
    Result<bool> FindNextFileW(Handle search, FindData& found) override;
    Result<bool> FindClose(Handle search) override;
    Result<std::uint8_t*> GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    Result<std::uint8_t*> GlobalFree(std::uint8_t* block) override;
    Result<Handle> GetModuleHandleW(std::u16string_view name) override;
    Result<Handle> LoadLibraryW(std::u16string_view path) override;
    Result<Procedure> GetProcAddress(Handle module, std::string_view name) override;
    Result<bool> FreeLibrary(Handle module) override;
    // Time, folders, exit codes and WOW64 (the driver files' removal).
    Result<std::uint32_t> GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    Result<Handle> GetCurrentProcess() override;
    Result<std::uint32_t> GetTempPathW(std::span<char16_t> buffer) override;
    Result<bool> CreateDirectoryW(std::u16string_view path) override;
    Result<bool> GetExitCodeProcess(Handle process, std::uint32_t& exitCode) override;
    Result<bool> IsWow64Process(Procedure procedure, Handle process, std::int32_t& wow64) override;
    Result<bool> Wow64DisableWow64FsRedirection(Procedure procedure,
                                                std::uintptr_t& oldValue) override;
    Result<bool> Wow64RevertWow64FsRedirection(Procedure procedure,
                                               std::uintptr_t oldValue) override;
    Result<bool> CreateProcessW(std::u16string_view commandLine, std::uint32_t creationFlags,
                                ProcessInformation& info) override;
    Result<std::uint32_t> WaitForSingleObject(Handle handle, std::uint32_t milliseconds) override;
    Result<std::uint32_t> WaitForInputIdle(Handle process, std::uint32_t milliseconds) override;
    Result<bool> CloseHandle(Handle handle) override;
    Result<std::int32_t> MessageBoxW(WindowHandle owner, std::u16string_view text,
                                     std::optional<std::u16string_view> caption,
                                     std::uint32_t type) override;
};

}  // namespace tw::platform::win32
