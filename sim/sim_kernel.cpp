#include "sim/sim_kernel.h"

#include <algorithm>
#include <stdexcept>

#include "platform/text_format.h"

#include "platform/win_codes.h"
#include "sim/file_object.h"
#include "sim/file_search.h"
#include "sim/sim_path.h"
#include "sim/usb_link.h"
#include "sim/wow64.h"

namespace tw::sim {
namespace {

std::string Quote(std::u16string_view text) {
    return "\"" + Utf8(text) + "\"";
}

template <class T>
platform::Result<T> Fail(T value, std::uint32_t error) {
    return {value, error};
}

// GetCurrentProcess gives (HANDLE)-1, a pseudo handle meaning "this process".
constexpr platform::Handle kCurrentProcessPseudoHandle = platform::kInvalidHandleValue;

}  // namespace

platform::Result<std::uint32_t> SimKernel::GetModuleFileNameW(std::span<char16_t> buffer) {
    if (auto error = m_.faults.check("GetModuleFileNameW")) {
        m_.trace.call("GetModuleFileNameW -> 0, error " + std::to_string(*error));
        return Fail<std::uint32_t>(0, *error);
    }
    const std::u16string& path = process_.image;
    if (buffer.empty()) {
        return Fail<std::uint32_t>(0, win::kErrorInsufficientBuffer);
    }
    if (path.size() + 1 > buffer.size()) {
        // Cut to fit with its terminator, as Windows does.
        std::copy_n(path.begin(), buffer.size() - 1, buffer.begin());
        buffer.back() = u'\0';
        m_.trace.call("GetModuleFileNameW -> " + std::to_string(buffer.size()) +
                      ", error 122 (cut)");
        return Fail(static_cast<std::uint32_t>(buffer.size()), win::kErrorInsufficientBuffer);
    }
    std::copy(path.begin(), path.end(), buffer.begin());
    buffer[path.size()] = u'\0';
    m_.trace.call("GetModuleFileNameW -> " + Quote(path));
    return {static_cast<std::uint32_t>(path.size()), 0};
}

platform::Result<bool> SimKernel::SetCurrentDirectoryW(std::u16string_view path) {
    std::u16string full = ResolvePath(process_.currentDirectory, path);
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("SetCurrentDirectoryW", full)) {
        error = *planned;
    } else if (path.empty()) {
        error = win::kErrorInvalidParameter;
    } else if (m_.files.isFile(full)) {
        error = win::kErrorDirectory;
    } else if (!m_.files.isFolder(full)) {
        error = m_.files.lookupError(full);
    }
    m_.trace.call("SetCurrentDirectoryW(" + Quote(path) + ") -> " +
                  (error == 0 ? "1" : "0, error " + std::to_string(error)));
    if (error != 0) {
        return Fail(false, error);
    }
    process_.currentDirectory = full;
    return {true, 0};
}

std::u16string SimKernel::fullPath(std::u16string_view path) const {
    return ResolvePath(process_.currentDirectory, path);
}

platform::Result<std::uint32_t> SimKernel::copyFolder(const char* function,
                                                      std::u16string_view text,
                                                      std::span<char16_t> buffer) {
    if (auto error = m_.faults.check(function)) {
        m_.trace.call(std::string(function) + " -> 0, error " + std::to_string(*error));
        return Fail<std::uint32_t>(0, *error);
    }
    if (text.size() + 1 > buffer.size()) {
        // Too small: the size needed, terminator included, and nothing copied.
        m_.trace.call(std::string(function) + " -> " + std::to_string(text.size() + 1) +
                      " (buffer too small)");
        return {static_cast<std::uint32_t>(text.size() + 1), 0};
    }
    std::copy(text.begin(), text.end(), buffer.begin());
    buffer[text.size()] = u'\0';
    m_.trace.call(std::string(function) + " -> " + Quote(text));
    return {static_cast<std::uint32_t>(text.size()), 0};
}

platform::Result<std::uint32_t> SimKernel::GetCurrentDirectoryW(std::span<char16_t> buffer) {
    return copyFolder("GetCurrentDirectoryW", process_.currentDirectory, buffer);
}

platform::Result<std::uint32_t> SimKernel::GetSystemDirectoryW(std::span<char16_t> buffer) {
    return copyFolder("GetSystemDirectoryW", m_.nativeSystemFolder(), buffer);
}

platform::Result<std::uint32_t> SimKernel::GetWindowsDirectoryW(std::span<char16_t> buffer) {
    return copyFolder("GetWindowsDirectoryW", m_.windowsFolder(), buffer);
}

platform::Result<platform::Handle> SimKernel::CreateFileW(std::u16string_view path,
                                                          std::uint32_t access,
                                                          std::uint32_t shareMode,
                                                          std::uint32_t disposition,
                                                          std::uint32_t flagsAndAttributes) {
    std::string call = "CreateFileW(" + Quote(path) + ")";
    auto fail = [&](std::uint32_t error) {
        m_.trace.call(call + " -> INVALID_HANDLE_VALUE, error " + std::to_string(error));
        return Fail(platform::kInvalidHandleValue, error);
    };
    if (auto planned = m_.faults.check("CreateFileW", path)) {
        return fail(*planned);
    }
    if (UsbDevices::IsDevicePath(path)) {
        // USB printer-class interfaces are opened as device links.
        return OpenDeviceLink(m_, path, access, shareMode, disposition, flagsAndAttributes);
    }
    if (path.substr(0, 2) == u"\\\\") {
        // No other device or network share is simulated.
        return fail(win::kErrorFileNotFound);
    }
    std::u16string full = fileSystemPath(path);
    FileNode* node = m_.files.find(full);
    bool wantsWrite = (access & win::kGenericWrite) != 0;
    if (node != nullptr &&
        (node->folder || (wantsWrite && (node->attributes & win::kFileAttributeReadonly) != 0))) {
        return fail(win::kErrorAccessDenied);
    }
    std::uint32_t existed = 0;
    switch (disposition) {
        case win::kOpenExisting:
            if (node == nullptr) {
                return fail(m_.files.lookupError(full));
            }
            break;
        case win::kOpenAlways:
        case win::kCreateAlways:
            if (node == nullptr) {
                if (std::uint32_t error = m_.files.writeFile(full, {})) {
                    return fail(error);
                }
            } else {
                existed = win::kErrorAlreadyExists;
                if (disposition == win::kCreateAlways) {
                    node->bytes.clear();
                }
            }
            break;
        default:
            return fail(win::kErrorInvalidParameter);
    }
    bool sharesDelete = (shareMode & win::kFileShareDelete) != 0;
    platform::Handle handle = m_.handles.add(
        std::make_shared<FileObject>(m_.files, NormalizePath(full), access, sharesDelete));
    m_.trace.call(call + " -> handle");
    return {handle, existed};
}

platform::Result<bool> SimKernel::ReadFile(platform::Handle file, std::span<std::uint8_t> buffer,
                                           std::uint32_t& bytesRead) {
    bytesRead = 0;
    if (auto link = m_.handles.get<DeviceLinkObject>(file)) {
        return ReadDeviceLink(m_, *link, buffer, bytesRead);
    }
    auto object = m_.handles.get<FileObject>(file);
    if (!object) {
        m_.trace.call("ReadFile(invalid handle) -> 0, error 6");
        return Fail(false, win::kErrorInvalidHandle);
    }
    if (auto planned = m_.faults.check("ReadFile", object->path)) {
        m_.trace.call("ReadFile(" + object->describe() + ") -> 0, error " +
                      std::to_string(*planned));
        return Fail(false, *planned);
    }
    const FileNode* node = m_.files.find(object->path);
    if ((object->access & win::kGenericRead) == 0 || node == nullptr) {
        return Fail(false, win::kErrorAccessDenied);
    }
    std::uint64_t available =
        node->bytes.size() > object->position ? node->bytes.size() - object->position : 0;
    auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(available, buffer.size()));
    std::copy_n(node->bytes.begin() + static_cast<std::ptrdiff_t>(object->position), count,
                buffer.begin());
    object->position += count;
    bytesRead = count;
    m_.trace.call("ReadFile(" + object->describe() + ") -> " + std::to_string(count) + " bytes");
    return {true, 0};
}

platform::Result<bool> SimKernel::WriteFile(platform::Handle file,
                                            std::span<const std::uint8_t> bytes,
                                            std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    if (auto link = m_.handles.get<DeviceLinkObject>(file)) {
        return WriteDeviceLink(m_, *link, bytes, bytesWritten);
    }
    auto object = m_.handles.get<FileObject>(file);
    if (!object) {
        m_.trace.call("WriteFile(invalid handle) -> 0, error 6");
        return Fail(false, win::kErrorInvalidHandle);
    }
    if (auto planned = m_.faults.check("WriteFile", object->path)) {
        m_.trace.call("WriteFile(" + object->describe() + ") -> 0, error " +
                      std::to_string(*planned));
        return Fail(false, *planned);
    }
    FileNode* node = m_.files.find(object->path);
    if ((object->access & win::kGenericWrite) == 0 || node == nullptr) {
        return Fail(false, win::kErrorAccessDenied);
    }
    std::size_t end = static_cast<std::size_t>(object->position) + bytes.size();
    if (node->bytes.size() < end) {
        node->bytes.resize(end);
    }
    std::copy(bytes.begin(), bytes.end(),
              node->bytes.begin() + static_cast<std::ptrdiff_t>(object->position));
    object->position = end;
    bytesWritten = static_cast<std::uint32_t>(bytes.size());
    m_.trace.call("WriteFile(" + object->describe() + ", " + std::to_string(bytes.size()) +
                  " bytes) -> 1");
    return {true, 0};
}

platform::Result<std::uint32_t> SimKernel::GetFileSize(platform::Handle file) {
    auto object = m_.handles.get<FileObject>(file);
    const FileNode* node = object ? m_.files.find(object->path) : nullptr;
    if (node == nullptr) {
        return Fail(win::kInvalidFileSize, win::kErrorInvalidHandle);
    }
    if (auto planned = m_.faults.check("GetFileSize", object->path)) {
        m_.trace.call("GetFileSize(" + object->describe() + ") -> INVALID_FILE_SIZE, error " +
                      std::to_string(*planned));
        return Fail(win::kInvalidFileSize, *planned);
    }
    return {static_cast<std::uint32_t>(node->bytes.size()), 0};
}

platform::Result<bool> SimKernel::SetFileAttributesW(std::u16string_view path,
                                                     std::uint32_t attributes) {
    std::u16string full = fileSystemPath(path);
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("SetFileAttributesW", full)) {
        error = *planned;
    } else {
        error = m_.files.setAttributes(full, attributes);
    }
    m_.trace.call("SetFileAttributesW(" + Quote(path) + ", " + std::to_string(attributes) +
                  ") -> " + (error == 0 ? "1" : "0, error " + std::to_string(error)));
    return {error == 0, error};
}

platform::Result<bool> SimKernel::DeleteFileW(std::u16string_view path) {
    std::u16string full = fileSystemPath(path);
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("DeleteFileW", full)) {
        error = *planned;
    } else {
        error = m_.files.deleteFile(full);
    }
    m_.trace.call("DeleteFileW(" + Quote(path) + ") -> " +
                  (error == 0 ? "1" : "0, error " + std::to_string(error)));
    return {error == 0, error};
}

// --- Finding files ------------------------------------------------------------

platform::Result<platform::Handle> SimKernel::FindFirstFileW(std::u16string_view pattern,
                                                             platform::FindData& found) {
    std::u16string full = fullPath(pattern);
    std::u16string folder = ParentPath(full);
    std::u16string_view names = FileName(full);
    std::string call = "FindFirstFileW(" + Quote(pattern) + ")";
    std::uint32_t error = 0;
    std::deque<FoundFile> matches;
    if (auto planned = m_.faults.check("FindFirstFileW", full)) {
        error = *planned;
    } else if (folder.empty() || !m_.files.isFolder(folder)) {
        error = win::kErrorPathNotFound;
    } else {
        matches = MatchingEntries(m_.files, folder, names);
        error = matches.empty() ? win::kErrorFileNotFound : 0;
    }
    if (error != 0) {
        m_.trace.call(call + " -> INVALID_HANDLE_VALUE, error " + std::to_string(error));
        return Fail(platform::kInvalidHandleValue, error);
    }
    found = {matches.front().name, matches.front().attributes};
    matches.pop_front();
    m_.trace.call(call + " -> " + Quote(found.fileName));
    return {m_.handles.add(std::make_shared<SearchObject>(full, std::move(matches))), 0};
}

platform::Result<bool> SimKernel::FindNextFileW(platform::Handle search,
                                                platform::FindData& found) {
    auto object = m_.handles.get<SearchObject>(search);
    if (!object) {
        m_.trace.call("FindNextFileW(invalid handle) -> 0, error 6");
        return Fail(false, win::kErrorInvalidHandle);
    }
    std::string call = "FindNextFileW(" + object->describe() + ")";
    if (auto planned = m_.faults.check("FindNextFileW", object->pattern)) {
        m_.trace.call(call + " -> 0, error " + std::to_string(*planned));
        return Fail(false, *planned);
    }
    if (object->remaining.empty()) {
        m_.trace.call(call + " -> 0, error 18");
        return Fail(false, win::kErrorNoMoreFiles);
    }
    found = {object->remaining.front().name, object->remaining.front().attributes};
    object->remaining.pop_front();
    m_.trace.call(call + " -> " + Quote(found.fileName));
    return {true, 0};
}

platform::Result<bool> SimKernel::FindClose(platform::Handle search) {
    if (!m_.handles.get<SearchObject>(search) || !m_.handles.close(search)) {
        m_.trace.call("FindClose(invalid handle) -> 0, error 6");
        return Fail(false, win::kErrorInvalidHandle);
    }
    m_.trace.call("FindClose -> 1");
    return {true, 0};
}

platform::Result<std::uint8_t*> SimKernel::GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    std::uint8_t* block = nullptr;
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("GlobalAlloc")) {
        error = *planned;
    } else {
        block = m_.memory.allocate(bytes, (flags & win::kGmemZeroinit) != 0);
        error = block == nullptr ? win::kErrorNotEnoughMemory : 0;
    }
    m_.trace.call("GlobalAlloc(" + std::to_string(bytes) + " bytes) -> " +
                  (block != nullptr ? "block" : "null, error " + std::to_string(error)));
    return {block, error};
}

platform::Result<std::uint8_t*> SimKernel::GlobalFree(std::uint8_t* block) {
    if (!m_.memory.release(block)) {
        return Fail(block, win::kErrorInvalidHandle);
    }
    return {nullptr, 0};
}

platform::Result<platform::Handle> SimKernel::GetModuleHandleW(std::u16string_view name) {
    if (auto planned = m_.faults.check("GetModuleHandleW", name)) {
        return Fail(platform::kNullHandle, *planned);
    }
    auto result = m_.modules.getModuleHandle(name);
    m_.trace.call("GetModuleHandleW(" + Quote(name) + ") -> " +
                  (result.value != platform::kNullHandle ? "module" : "null"));
    return result;
}

platform::Result<platform::Handle> SimKernel::LoadLibraryW(std::u16string_view path) {
    if (auto planned = m_.faults.check("LoadLibraryW", path)) {
        return Fail(platform::kNullHandle, *planned);
    }
    auto result = m_.modules.loadLibrary(fullPath(path));
    m_.trace.call("LoadLibraryW(" + Quote(path) + ") -> " +
                  (result.value != platform::kNullHandle
                       ? std::string("module")
                       : "null, error " + std::to_string(result.error)));
    return result;
}

platform::Result<platform::Procedure> SimKernel::GetProcAddress(platform::Handle module,
                                                                std::string_view name) {
    if (auto planned = m_.faults.check("GetProcAddress", platform::FromUtf8(name))) {
        return Fail(platform::kNoProcedure, *planned);
    }
    auto result = m_.modules.getProcAddress(module, name);
    m_.trace.call("GetProcAddress(" + std::string(name) + ") -> " +
                  (result.value != platform::kNoProcedure ? "found" : "missing"));
    return result;
}

platform::Result<bool> SimKernel::FreeLibrary(platform::Handle module) {
    return m_.modules.freeLibrary(module);
}

// --- Time, folders, exit codes and WOW64 (the driver files' removal) --------

std::u16string SimKernel::fileSystemPath(std::u16string_view path) const {
    std::u16string full = NormalizePath(fullPath(path));
    if (!m_.config().windows64 || !process_.bits32 || process_.redirectionDisabled) {
        return full;
    }
    return Wow64Redirect(full, m_.nativeSystemFolder(), m_.wow64SystemFolder());
}

void SimKernel::expectProcedure(platform::Procedure procedure, std::string_view function) const {
    std::optional<std::string> name = m_.modules.procedureName(procedure);
    if (!name || name->substr(name->find('!') + 1) != function) {
        throw std::logic_error("called " + std::string(function) + " through " +
                               name.value_or("an address GetProcAddress never gave"));
    }
}

platform::Result<std::uint32_t> SimKernel::GetTickCount() {
    constexpr std::uint32_t kSpinLimit = 100000;
    if (m_.clock.now() != lastTickRead_) {
        lastTickRead_ = m_.clock.now();
        tickReadsWithoutTime_ = 0;
    } else if (++tickReadsWithoutTime_ > kSpinLimit) {
        throw SimStuck("spinning on GetTickCount at " + std::to_string(lastTickRead_) +
                       " ms: the virtual clock only moves when the program waits or sleeps");
    }
    std::uint32_t tick = m_.clock.tickCount();
    m_.trace.call("GetTickCount -> " + std::to_string(tick));
    return {tick, 0};
}

void SimKernel::Sleep(std::uint32_t milliseconds) {
    m_.trace.call("Sleep(" + std::to_string(milliseconds) + ")");
    m_.clock.advanceBy(milliseconds);
}

platform::Result<platform::Handle> SimKernel::GetCurrentProcess() {
    return {kCurrentProcessPseudoHandle, 0};
}

platform::Result<std::uint32_t> SimKernel::GetTempPathW(std::span<char16_t> buffer) {
    return copyFolder("GetTempPathW", m_.tempPath, buffer);
}

platform::Result<bool> SimKernel::CreateDirectoryW(std::u16string_view path) {
    std::u16string full = fileSystemPath(path);
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("CreateDirectoryW", full)) {
        error = *planned;
    } else {
        error = m_.files.createFolder(full);
    }
    m_.trace.call("CreateDirectoryW(" + Quote(path) + ") -> " +
                  (error == 0 ? "1" : "0, error " + std::to_string(error)));
    return {error == 0, error};
}

platform::Result<bool> SimKernel::GetExitCodeProcess(platform::Handle process,
                                                     std::uint32_t& exitCode) {
    auto object = m_.handles.get<ProcessObject>(process);
    if (!object || std::dynamic_pointer_cast<ThreadObject>(object)) {
        m_.trace.call("GetExitCodeProcess(invalid handle) -> 0, error 6");
        return Fail(false, win::kErrorInvalidHandle);
    }
    if (auto planned = m_.faults.check("GetExitCodeProcess", object->process->launch.image)) {
        m_.trace.call("GetExitCodeProcess(" + object->describe() + ") -> 0, error " +
                      std::to_string(*planned));
        return Fail(false, *planned);
    }
    exitCode = object->process->running() ? win::kStillActive : object->process->exitCode;
    m_.trace.call("GetExitCodeProcess(" + object->describe() + ") -> " + std::to_string(exitCode));
    return {true, 0};
}

platform::Result<bool> SimKernel::IsWow64Process(platform::Procedure procedure,
                                                 platform::Handle process, std::int32_t& wow64) {
    expectProcedure(procedure, "IsWow64Process");
    if (auto planned = m_.faults.check("IsWow64Process")) {
        m_.trace.call("IsWow64Process -> 0, error " + std::to_string(*planned));
        return Fail(false, *planned);
    }
    if (process != kCurrentProcessPseudoHandle && !m_.handles.get<ProcessObject>(process)) {
        m_.trace.call("IsWow64Process(invalid handle) -> 0, error 6");
        return Fail(false, win::kErrorInvalidHandle);
    }
    // Only the calling process's own kind is known to the simulation; the
    // programs it starts count as native ones.
    bool ours = process == kCurrentProcessPseudoHandle;
    wow64 = ours && m_.config().windows64 && process_.bits32 ? 1 : 0;
    m_.trace.call("IsWow64Process -> 1, " + std::string(wow64 == 1 ? "TRUE" : "FALSE"));
    return {true, 0};
}

platform::Result<bool> SimKernel::Wow64DisableWow64FsRedirection(platform::Procedure procedure,
                                                                 std::uintptr_t& oldValue) {
    expectProcedure(procedure, "Wow64DisableWow64FsRedirection");
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("Wow64DisableWow64FsRedirection")) {
        error = *planned;
    } else if (!m_.config().windows64 || !process_.bits32) {
        error = win::kErrorInvalidFunction;  // nothing to switch off
    }
    if (error == 0) {
        oldValue = process_.redirectionDisabled ? 1 : 0;
        process_.redirectionDisabled = true;
    }
    m_.trace.call("Wow64DisableWow64FsRedirection -> " +
                  (error == 0 ? "1" : "0, error " + std::to_string(error)));
    return {error == 0, error};
}

platform::Result<bool> SimKernel::Wow64RevertWow64FsRedirection(platform::Procedure procedure,
                                                                std::uintptr_t oldValue) {
    expectProcedure(procedure, "Wow64RevertWow64FsRedirection");
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("Wow64RevertWow64FsRedirection")) {
        error = *planned;
    } else if (!m_.config().windows64 || !process_.bits32) {
        error = win::kErrorInvalidFunction;
    }
    if (error == 0) {
        process_.redirectionDisabled = oldValue != 0;
    }
    m_.trace.call("Wow64RevertWow64FsRedirection -> " +
                  (error == 0 ? "1" : "0, error " + std::to_string(error)));
    return {error == 0, error};
}

platform::Result<bool> SimKernel::CreateProcessW(std::u16string_view commandLine,
                                                 std::uint32_t creationFlags,
                                                 platform::ProcessInformation& info) {
    info = {};
    std::string call =
        "CreateProcessW(" + Quote(commandLine) + ", flags " + std::to_string(creationFlags) + ")";
    std::uint32_t error = 0;
    std::optional<ResolvedProgram> program;
    if (auto planned = m_.faults.check("CreateProcessW", commandLine)) {
        error = *planned;
    } else {
        ProgramSearch search{process_.image,
                             process_.currentDirectory,
                             {m_.nativeSystemFolder(), m_.windowsFolder()}};
        program = m_.processes.resolve(commandLine, search, error);
    }
    if (!program) {
        m_.trace.call(call + " -> 0, error " + std::to_string(error));
        return Fail(false, error);
    }
    ProcessLaunch launch{program->image, std::u16string(commandLine), program->arguments,
                         process_.currentDirectory, creationFlags};
    std::shared_ptr<SimProcess> process = m_.processes.start(std::move(launch));
    info.process = m_.handles.add(std::make_shared<ProcessObject>(process));
    info.thread = m_.handles.add(std::make_shared<ThreadObject>(process));
    info.processId = process->id;
    info.threadId = process->id + 1;
    m_.trace.call(call + " -> 1, process " + std::to_string(process->id));
    return {true, 0};
}

platform::Result<std::uint32_t> SimKernel::WaitForSingleObject(platform::Handle handle,
                                                               std::uint32_t milliseconds) {
    auto object = m_.handles.get<ProcessObject>(handle);
    if (!object) {
        m_.trace.call("WaitForSingleObject(invalid handle) -> WAIT_FAILED, error 6");
        return Fail(win::kWaitFailed, win::kErrorInvalidHandle);
    }
    std::shared_ptr<SimProcess> process = object->process;
    Millis deadline =
        milliseconds == win::kInfinite ? kNever : m_.clock.now() + Millis{milliseconds};
    bool ended = m_.clock.runUntil([&] { return !process->running(); }, deadline,
                                   "WaitForSingleObject on " + object->describe());
    m_.trace.call(
        "WaitForSingleObject(" + object->describe() + ", " +
        (milliseconds == win::kInfinite ? std::string("INFINITE") : std::to_string(milliseconds)) +
        ") -> " + (ended ? "WAIT_OBJECT_0" : "WAIT_TIMEOUT"));
    return {ended ? win::kWaitObject0 : win::kWaitTimeout, 0};
}

platform::Result<std::uint32_t> SimKernel::WaitForInputIdle(platform::Handle process,
                                                            std::uint32_t milliseconds) {
    std::string limit =
        milliseconds == win::kInfinite ? std::string("INFINITE") : std::to_string(milliseconds);
    if (auto planned = m_.faults.check("WaitForInputIdle")) {
        m_.trace.call("WaitForInputIdle -> WAIT_FAILED, error " + std::to_string(*planned));
        return Fail(win::kWaitFailed, *planned);
    }
    auto object = m_.handles.get<ProcessObject>(process);
    // Only a process handle will do; a thread handle is another kind of object.
    if (!object || m_.handles.get<ThreadObject>(process)) {
        m_.trace.call("WaitForInputIdle(invalid handle, " + limit + ") -> WAIT_FAILED, error 6");
        return Fail(win::kWaitFailed, win::kErrorInvalidHandle);
    }
    std::shared_ptr<SimProcess> target = object->process;
    std::string call = "WaitForInputIdle(" + object->describe() + ", " + limit + ")";
    // A process without a message queue never waits for input, and one that
    // has ended waits for nothing: the call fails at once, without a code.
    if (!target->hasMessageQueue || !target->running()) {
        m_.trace.call(call + " -> WAIT_FAILED");
        return {win::kWaitFailed, 0};
    }
    Millis deadline =
        milliseconds == win::kInfinite ? kNever : m_.clock.now() + Millis{milliseconds};
    bool settled = m_.clock.runUntil(
        [&] { return target->inputIdleAt.has_value() || !target->running(); }, deadline, call);
    if (!settled) {
        m_.trace.call(call + " -> WAIT_TIMEOUT");
        return {win::kWaitTimeout, 0};
    }
    if (!target->inputIdleAt) {
        m_.trace.call(call + " -> WAIT_FAILED (the process ended)");
        return {win::kWaitFailed, 0};
    }
    m_.trace.call(call + " -> 0");
    return {0u, 0};
}

platform::Result<bool> SimKernel::CloseHandle(platform::Handle handle) {
    if (!m_.handles.close(handle)) {
        m_.trace.call("CloseHandle(invalid handle) -> 0, error 6");
        return Fail(false, win::kErrorInvalidHandle);
    }
    return {true, 0};
}

platform::Result<std::int32_t> SimKernel::MessageBoxW(platform::WindowHandle owner,
                                                      std::u16string_view text,
                                                      std::optional<std::u16string_view> caption,
                                                      std::uint32_t type) {
    // Without a caption of its own the system shows "Error".
    std::u16string shown = caption ? std::u16string(*caption) : std::u16string(u"Error");
    std::int32_t answer =
        m_.desktop.showMessageBox(owner, std::move(shown), std::u16string(text), type);
    return {answer, 0};
}

}  // namespace tw::sim
