// The Kernel area forwarded to the real system: each method calls its Win32
// function and returns its value with GetLastError. No decisions here.
#pragma once

#include "platform/kernel.h"

namespace tw::platform::win32 {

class Win32Kernel : public Kernel {
  public:
    Result<std::uint32_t> GetModuleFileNameW(std::span<char16_t> buffer) override;
    Result<bool> SetCurrentDirectoryW(std::u16string_view path) override;
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
