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

Result<std::uint32_t> Win32Kernel::GetCurrentDirectoryW(std::span<char16_t> buffer) {
    DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()),
                                          reinterpret_cast<wchar_t*>(buffer.data()));
    return Returned<std::uint32_t>(length, length == 0);
}

Result<std::uint32_t> Win32Kernel::GetSystemDirectoryW(std::span<char16_t> buffer) {
    UINT length = ::GetSystemDirectoryW(reinterpret_cast<wchar_t*>(buffer.data()),
                                        static_cast<UINT>(buffer.size()));
    return Returned<std::uint32_t>(length, length == 0);
}

Result<std::uint32_t> Win32Kernel::GetWindowsDirectoryW(std::span<char16_t> buffer) {
    UINT length = ::GetWindowsDirectoryW(reinterpret_cast<wchar_t*>(buffer.data()),
                                         static_cast<UINT>(buffer.size()));
    return Returned<std::uint32_t>(length, length == 0);
}

Result<Handle> Win32Kernel::CreateFileW(std::u16string_view path, std::uint32_t access,
                                        std::uint32_t shareMode, std::uint32_t disposition,
                                        std::uint32_t flagsAndAttributes) {
    std::wstring name = Wide(path);
    ::SetLastError(0);
    HANDLE file = ::CreateFileW(name.c_str(), access, shareMode, nullptr, disposition,
                                flagsAndAttributes, nullptr);
    // An open that found the file already there succeeds with ERROR_ALREADY_EXISTS.
    return {FromWin32(file), static_cast<std::uint32_t>(::GetLastError())};
}

Result<bool> Win32Kernel::ReadFile(Handle file, std::span<std::uint8_t> buffer,
                                   std::uint32_t& bytesRead) {
    DWORD got = 0;
    bool ok = ::ReadFile(ToWin32(file), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                         nullptr) != FALSE;
    bytesRead = got;
    return Returned(ok, !ok);
}

Result<bool> Win32Kernel::WriteFile(Handle file, std::span<const std::uint8_t> bytes,
                                    std::uint32_t& bytesWritten) {
    DWORD put = 0;
    bool ok = ::WriteFile(ToWin32(file), bytes.data(), static_cast<DWORD>(bytes.size()), &put,
                          nullptr) != FALSE;
    bytesWritten = put;
    return Returned(ok, !ok);
}

Result<std::uint32_t> Win32Kernel::GetFileSize(Handle file) {
    DWORD size = ::GetFileSize(ToWin32(file), nullptr);
    return Returned<std::uint32_t>(size, size == INVALID_FILE_SIZE);
}

Result<bool> Win32Kernel::SetFileAttributesW(std::u16string_view path, std::uint32_t attributes) {
    std::wstring name = Wide(path);
    bool ok = ::SetFileAttributesW(name.c_str(), attributes) != FALSE;
    return Returned(ok, !ok);
}

Result<bool> Win32Kernel::DeleteFileW(std::u16string_view path) {
    std::wstring name = Wide(path);
    bool ok = ::DeleteFileW(name.c_str()) != FALSE;
    return Returned(ok, !ok);
}

Result<Handle> Win32Kernel::FindFirstFileW(std::u16string_view pattern, FindData& found) {
    std::wstring text = Wide(pattern);
    WIN32_FIND_DATAW data{};
    HANDLE search = ::FindFirstFileW(text.c_str(), &data);
    Result<Handle> result = Returned(FromWin32(search), search == INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) {
        found = {Utf16(data.cFileName), data.dwFileAttributes};
    }
    return result;
}

Result<bool> Win32Kernel::FindNextFileW(Handle search, FindData& found) {
    WIN32_FIND_DATAW data{};
    bool ok = ::FindNextFileW(ToWin32(search), &data) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    if (ok) {
        found = {Utf16(data.cFileName), data.dwFileAttributes};
    }
    return result;
}

Result<bool> Win32Kernel::FindClose(Handle search) {
    bool ok = ::FindClose(ToWin32(search)) != FALSE;
    return Returned(ok, !ok);
}

Result<std::uint8_t*> Win32Kernel::GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    auto* block = static_cast<std::uint8_t*>(::GlobalAlloc(flags, bytes));
    return Returned(block, block == nullptr);
}

Result<std::uint8_t*> Win32Kernel::GlobalFree(std::uint8_t* block) {
    auto* left = static_cast<std::uint8_t*>(::GlobalFree(block));
    return Returned(left, left != nullptr);
}

Result<Handle> Win32Kernel::GetModuleHandleW(std::u16string_view name) {
    std::wstring text = Wide(name);
    HMODULE module = ::GetModuleHandleW(text.c_str());
    return Returned(FromWin32(module), module == nullptr);
}

Result<Handle> Win32Kernel::LoadLibraryW(std::u16string_view path) {
    std::wstring text = Wide(path);
    HMODULE module = ::LoadLibraryW(text.c_str());
    return Returned(FromWin32(module), module == nullptr);
}

Result<Procedure> Win32Kernel::GetProcAddress(Handle module, std::string_view name) {
    std::string text(name);
    FARPROC procedure = ::GetProcAddress(static_cast<HMODULE>(ToWin32(module)), text.c_str());
    return Returned(Procedure{reinterpret_cast<std::uintptr_t>(procedure)}, procedure == nullptr);
}

Result<bool> Win32Kernel::FreeLibrary(Handle module) {
    bool ok = ::FreeLibrary(static_cast<HMODULE>(ToWin32(module))) != FALSE;
    return Returned(ok, !ok);
}

// --- Time, folders, exit codes and WOW64 (the driver files' removal) --------

Result<std::uint32_t> Win32Kernel::GetTickCount() {
    return {::GetTickCount(), 0};
}

void Win32Kernel::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

Result<Handle> Win32Kernel::GetCurrentProcess() {
    return {FromWin32(::GetCurrentProcess()), 0};
}

Result<std::uint32_t> Win32Kernel::GetTempPathW(std::span<char16_t> buffer) {
    DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()),
                                  reinterpret_cast<wchar_t*>(buffer.data()));
    return Returned<std::uint32_t>(length, length == 0);
}

Result<bool> Win32Kernel::CreateDirectoryW(std::u16string_view path) {
    std::wstring name = Wide(path);
    bool ok = ::CreateDirectoryW(name.c_str(), nullptr) != FALSE;
    return Returned(ok, !ok);
}

Result<bool> Win32Kernel::GetExitCodeProcess(Handle process, std::uint32_t& exitCode) {
    DWORD code = 0;
    bool ok = ::GetExitCodeProcess(ToWin32(process), &code) != FALSE;
    exitCode = code;
    return Returned(ok, !ok);
}

// The functions looked up by name are called through the address
// GetProcAddress gave, with their documented signatures.
Result<bool> Win32Kernel::IsWow64Process(Procedure procedure, Handle process, std::int32_t& wow64) {
    using Function = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto function = reinterpret_cast<Function>(static_cast<std::uintptr_t>(procedure));
    BOOL flag = FALSE;
    bool ok = function(ToWin32(process), &flag) != FALSE;
    wow64 = flag;
    return Returned(ok, !ok);
}

Result<bool> Win32Kernel::Wow64DisableWow64FsRedirection(Procedure procedure,
                                                         std::uintptr_t& oldValue) {
    using Function = BOOL(WINAPI*)(PVOID*);
    auto function = reinterpret_cast<Function>(static_cast<std::uintptr_t>(procedure));
    PVOID saved = nullptr;
    bool ok = function(&saved) != FALSE;
    oldValue = reinterpret_cast<std::uintptr_t>(saved);
    return Returned(ok, !ok);
}

Result<bool> Win32Kernel::Wow64RevertWow64FsRedirection(Procedure procedure,
                                                        std::uintptr_t oldValue) {
    using Function = BOOL(WINAPI*)(PVOID);
    auto function = reinterpret_cast<Function>(static_cast<std::uintptr_t>(procedure));
    bool ok = function(reinterpret_cast<PVOID>(oldValue)) != FALSE;
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
