// The Kernel area of the seam: processes and waits, files and folders, modules,
// the tick count, global memory and the system folders, as kernel32 (and, for
// the launcher's one message, user32) offer them.
//
// One method per system function, named after it, taking the arguments that
// vary between the program's calls and keeping the function's failure modes:
// each returns its value with the code GetLastError would give. Buffers that a
// function fills are passed as spans, so a too-small buffer behaves as it does
// on Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

// What a file search gives of each entry it finds.
struct FindData {
    std::u16string fileName;  // the bare name, as stored
    std::uint32_t attributes = 0;
};

class Kernel {
  public:
    virtual ~Kernel() = default;

    // --- Modules -------------------------------------------------------------

    // The running program's file path (module: none). Returns the characters
    // copied without the terminator; when the buffer is too small the text is
    // cut to fit with its terminator, the value is the buffer's size and the
    // error ERROR_INSUFFICIENT_BUFFER. 0 on failure.
    virtual Result<std::uint32_t> GetModuleFileNameW(std::span<char16_t> buffer) = 0;

    // --- Folders ---------------------------------------------------------------

    virtual Result<bool> SetCurrentDirectoryW(std::u16string_view path) = 0;

    // The current, system and Windows folders. Each returns the length copied
    // without the terminator; when the buffer is too small, the size needed
    // with the terminator (larger than the buffer) and the buffer untouched.
    // 0 on failure.
    virtual Result<std::uint32_t> GetCurrentDirectoryW(std::span<char16_t> buffer) = 0;
    virtual Result<std::uint32_t> GetSystemDirectoryW(std::span<char16_t> buffer) = 0;
    virtual Result<std::uint32_t> GetWindowsDirectoryW(std::span<char16_t> buffer) = 0;

    // --- Files and devices -------------------------------------------------

    // INVALID_HANDLE_VALUE on failure. No security attributes, no template.
    virtual Result<Handle> CreateFileW(std::u16string_view path, std::uint32_t access,
                                       std::uint32_t shareMode, std::uint32_t disposition,
                                       std::uint32_t flagsAndAttributes) = 0;
    // Synchronous; `bytesRead` is what this read delivered.
    virtual Result<bool> ReadFile(Handle file, std::span<std::uint8_t> buffer,
                                  std::uint32_t& bytesRead) = 0;
    // Synchronous; `bytesWritten` is what the system reports as written.
    virtual Result<bool> WriteFile(Handle file, std::span<const std::uint8_t> bytes,
                                   std::uint32_t& bytesWritten) = 0;
    // The low 32 bits of the size; INVALID_FILE_SIZE (0xFFFFFFFF) on failure.
    virtual Result<std::uint32_t> GetFileSize(Handle file) = 0;
    virtual Result<bool> SetFileAttributesW(std::u16string_view path, std::uint32_t attributes) = 0;
    virtual Result<bool> DeleteFileW(std::u16string_view path) = 0;

    // --- Finding files ----------------------------------------------------------

    // Starts a search for the entries matching `pattern` (a folder and a name
    // with * and ?) and gives the first. INVALID_HANDLE_VALUE on failure:
    // ERROR_FILE_NOT_FOUND when nothing matches, ERROR_PATH_NOT_FOUND when
    // the folder is missing.
    virtual Result<Handle> FindFirstFileW(std::u16string_view pattern, FindData& found) = 0;
    // The next entry; false with ERROR_NO_MORE_FILES at the normal end.
    virtual Result<bool> FindNextFileW(Handle search, FindData& found) = 0;
    virtual Result<bool> FindClose(Handle search) = 0;

    // --- Global memory -------------------------------------------------------

    // A fixed block (GMEM_FIXED, with GMEM_ZEROINIT when asked); null on
    // failure. The core uses the block's bytes directly, as on Windows.
    virtual Result<std::uint8_t*> GlobalAlloc(std::uint32_t flags, std::size_t bytes) = 0;
    // Null when freed; the block itself when it could not be.
    virtual Result<std::uint8_t*> GlobalFree(std::uint8_t* block) = 0;

    // --- Modules and procedures looked up by name ------------------------------

    // A loaded module by name ("kernel32"); null when it is not loaded.
    virtual Result<Handle> GetModuleHandleW(std::u16string_view name) = 0;
    // Loads a library by its path; null on failure.
    virtual Result<Handle> LoadLibraryW(std::u16string_view path) = 0;
    // A function of a module by name; kNoProcedure when the module lacks it.
    virtual Result<Procedure> GetProcAddress(Handle module, std::string_view name) = 0;
    virtual Result<bool> FreeLibrary(Handle module) = 0;

    // --- Time, folders, exit codes and WOW64 (the driver files' removal) ------

    // Milliseconds since the system started, wrapping after 2^32.
    virtual Result<std::uint32_t> GetTickCount() = 0;
    // Gives up the processor for at least `milliseconds`.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // The pseudo handle of the calling process.
    virtual Result<Handle> GetCurrentProcess() = 0;
    // The temporary-files folder, ending in a backslash. Returns the length
    // without the terminator; when the buffer is too small, the size needed
    // with it and the buffer not to be used. 0 on failure.
    virtual Result<std::uint32_t> GetTempPathW(std::span<char16_t> buffer) = 0;
    // Creates a folder (no security attributes): ERROR_ALREADY_EXISTS when
    // something of that name is there, ERROR_PATH_NOT_FOUND when its parent
    // is missing.
    virtual Result<bool> CreateDirectoryW(std::u16string_view path) = 0;
    // A process's exit code; STILL_ACTIVE (259) while it runs.
    virtual Result<bool> GetExitCodeProcess(Handle process, std::uint32_t& exitCode) = 0;
    // The three functions looked up by name in kernel32 (`procedure`, from
    // GetProcAddress, never kNoProcedure). `wow64` is set to TRUE (1) for a
    // 32-bit process on 64-bit Windows. Switching redirection off saves the
    // previous state in `oldValue` for the revert.
    virtual Result<bool> IsWow64Process(Procedure procedure, Handle process,
                                        std::int32_t& wow64) = 0;
    virtual Result<bool> Wow64DisableWow64FsRedirection(Procedure procedure,
                                                        std::uintptr_t& oldValue) = 0;
    virtual Result<bool> Wow64RevertWow64FsRedirection(Procedure procedure,
                                                       std::uintptr_t oldValue) = 0;

    // --- Processes and waits -----------------------------------------------

    // Starts the program at the head of `commandLine` (no application name),
    // with no security attributes, no handle inheritance, the caller's
    // environment and current folder, and a start-up record that is zero but
    // for its size. `info` is zeroed first, so its handles stay null on failure.
    virtual Result<bool> CreateProcessW(std::u16string_view commandLine,
                                        std::uint32_t creationFlags, ProcessInformation& info) = 0;

    // WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED (a null or closed handle).
    virtual Result<std::uint32_t> WaitForSingleObject(Handle handle,
                                                      std::uint32_t milliseconds) = 0;

    // Waits until the process waits for user input with none pending (its
    // window is up), at most `milliseconds`: 0 when it does (at once once it
    // has), WAIT_TIMEOUT, or WAIT_FAILED. A null or closed handle fails with
    // ERROR_INVALID_HANDLE; a process without a message queue (a console
    // program) or one that has ended fails at once, with no error code.
    virtual Result<std::uint32_t> WaitForInputIdle(Handle process, std::uint32_t milliseconds) = 0;

    virtual Result<bool> CloseHandle(Handle handle) = 0;

    // --- The launcher's message ------------------------------------------------

    // A message box; with no caption the system's default caption is shown.
    // Returns the id of the button that closed it, 0 on failure.
    virtual Result<std::int32_t> MessageBoxW(WindowHandle owner, std::u16string_view text,
                                             std::optional<std::u16string_view> caption,
                                             std::uint32_t type) = 0;
};

}  // namespace tw::platform
