#include "sim/sim_kernel.h"

#include <algorithm>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

std::string Quote(std::u16string_view text) {
    return "\"" + Utf8(text) + "\"";
}

template <class T>
platform::Result<T> Fail(T value, std::uint32_t error) {
    return {value, error};
}

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
    // A process without a message queue never waits for input: the call fails
    // at once, as it does for a process that has ended.
    auto unusable = [&] { return !target->hasMessageQueue || !target->running(); };
    if (!target->inputIdleAt && unusable()) {
        m_.trace.call(call + " -> WAIT_FAILED, error 87");
        return Fail(win::kWaitFailed, win::kErrorInvalidParameter);
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
        m_.trace.call(call + " -> WAIT_FAILED, error 87 (the process ended)");
        return Fail(win::kWaitFailed, win::kErrorInvalidParameter);
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
