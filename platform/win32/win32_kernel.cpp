#include "platform/win32/win32_kernel.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tw::platform::win32 {
namespace {

// The value of a call together with the error code it left.
template <class T>
Result<T> Returned(T value, bool failed) {
    return {value, failed ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

}  // namespace

Result<std::uint32_t> Win32Kernel::GetModuleFileNameW(std::span<char16_t> buffer) {
    ::SetLastError(0);
    DWORD length = ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer.data()),
                                        static_cast<DWORD>(buffer.size()));
    // A cut text also sets an error (ERROR_INSUFFICIENT_BUFFER), with a value.
    return {length, static_cast<std::uint32_t>(::GetLastError())};
}

Result<bool> Win32Kernel::SetCurrentDirectoryW(std::u16string_view path) {
    std::wstring text = Wide(path);
    bool ok = ::SetCurrentDirectoryW(text.c_str()) != FALSE;
    return Returned(ok, !ok);
}

Result<bool> Win32Kernel::CreateProcessW(std::u16string_view commandLine,
                                         std::uint32_t creationFlags, ProcessInformation& info) {
    info = {};
    // CreateProcessW may write into its command line, so it gets a copy.
    std::wstring command = Wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    bool ok = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, creationFlags,
                               nullptr, nullptr, &startup, &started) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    info.process = FromWin32(started.hProcess);
    info.thread = FromWin32(started.hThread);
    info.processId = started.dwProcessId;
    info.threadId = started.dwThreadId;
    return result;
}

Result<std::uint32_t> Win32Kernel::WaitForSingleObject(Handle handle, std::uint32_t milliseconds) {
    DWORD outcome = ::WaitForSingleObject(ToWin32(handle), milliseconds);
    return Returned<std::uint32_t>(outcome, outcome == WAIT_FAILED);
}

Result<std::uint32_t> Win32Kernel::WaitForInputIdle(Handle process, std::uint32_t milliseconds) {
    DWORD outcome = ::WaitForInputIdle(ToWin32(process), milliseconds);
    return Returned<std::uint32_t>(outcome, outcome == WAIT_FAILED);
}

Result<bool> Win32Kernel::CloseHandle(Handle handle) {
    bool ok = ::CloseHandle(ToWin32(handle)) != FALSE;
    return Returned(ok, !ok);
}

Result<std::int32_t> Win32Kernel::MessageBoxW(WindowHandle owner, std::u16string_view text,
                                              std::optional<std::u16string_view> caption,
                                              std::uint32_t type) {
    std::wstring body = Wide(text);
    std::wstring title = caption ? Wide(*caption) : std::wstring();
    int answer =
        ::MessageBoxW(ToWin32(owner), body.c_str(), caption ? title.c_str() : nullptr, type);
    return Returned<std::int32_t>(answer, answer == 0);
}

}  // namespace tw::platform::win32
