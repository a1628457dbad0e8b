// Programs and processes of the simulated machine. A scenario registers a
// program by its path with a behaviour: what it does when started (its effect
// on the machine), how long it runs (or that it never ends) and its exit code.
// CreateProcessW finds the program from the head of a command line the way
// Windows does, unquoted paths with blanks included.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/file_system.h"
#include "sim/handle_table.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

// How a process was started.
struct ProcessLaunch {
    std::u16string image;             // the program file that runs
    std::u16string commandLine;       // as passed to CreateProcessW
    std::u16string arguments;         // the text after the program's token
    std::u16string currentDirectory;  // inherited from the caller
    std::uint32_t creationFlags = 0;
};

// What a started program does. The behaviour runs at the start and may change
// the machine at once; `atExit` runs when the program ends.
struct ProgramRun {
    Millis runTime = 0;
    bool endless = false;  // never ends by itself
    std::uint32_t exitCode = 0;
    std::function<void()> atExit;
    // A program with a window: this long after its start it waits for user
    // input with none pending (what WaitForInputIdle waits for). Unset: a
    // program without a message queue, such as a console program.
    std::optional<Millis> inputIdleAfter;
};

using ProgramBehaviour = std::function<ProgramRun(const ProcessLaunch&)>;

struct SimProcess {
    std::uint32_t id = 0;
    ProcessLaunch launch;
    Millis startedAt = 0;
    std::optional<Millis> endedAt;
    std::uint32_t exitCode = 0;
    bool hasMessageQueue = false;
    std::optional<Millis> inputIdleAt;  // when it first waited for user input
    bool running() const { return !endedAt.has_value(); }
};

// The objects behind a process handle and a thread handle.
class ProcessObject : public KernelObject {
  public:
    explicit ProcessObject(std::shared_ptr<SimProcess> target) : process(std::move(target)) {}
    std::string describe() const override;
    std::shared_ptr<SimProcess> process;
};

class ThreadObject : public ProcessObject {
  public:
    using ProcessObject::ProcessObject;
    std::string describe() const override;
};

// Where a program named without a folder is searched for, in order.
struct ProgramSearch {
    std::u16string callerImage;                 // its folder is searched first
    std::u16string currentDirectory;            // then the caller's current folder
    std::vector<std::u16string> systemFolders;  // then the system and Windows folders
};

struct ResolvedProgram {
    std::u16string image;
    std::u16string arguments;
};

class ProcessTable {
  public:
    ProcessTable(VirtualClock& clock, Trace& trace, FileSystem& files)
        : clock_(clock), trace_(trace), files_(files) {}

    // Registers a program and puts its file on disk.
    void addProgram(std::u16string_view path, ProgramBehaviour behaviour);
    // A program that ends after `runTime` with `exitCode` and does nothing else.
    void addSimpleProgram(std::u16string_view path, Millis runTime, std::uint32_t exitCode = 0);

    // Finds the program at the head of `commandLine`. An unquoted head with
    // blanks is tried piece by piece, shortest first ("C:\a b\c.exe" tries
    // "C:\a.exe" first); ".exe" is added to a name without an extension.
    // Returns the Windows error code when nothing can be run.
    std::optional<ResolvedProgram> resolve(std::u16string_view commandLine,
                                           const ProgramSearch& search, std::uint32_t& error) const;

    // Starts a resolved program: runs its behaviour and schedules its end.
    std::shared_ptr<SimProcess> start(ProcessLaunch launch);

    bool isProgram(std::u16string_view path) const;
    const std::vector<std::shared_ptr<SimProcess>>& processes() const { return processes_; }
    // Processes started from the program at `image`.
    std::vector<std::shared_ptr<SimProcess>> startsOf(std::u16string_view image) const;

  private:
    std::optional<std::u16string> locate(std::u16string_view name,
                                         const ProgramSearch& search) const;

    VirtualClock& clock_;
    Trace& trace_;
    FileSystem& files_;
    std::map<std::u16string, ProgramBehaviour> programs_;  // by folded path
    std::vector<std::shared_ptr<SimProcess>> processes_;
    std::uint32_t nextId_ = 1000;
};

}  // namespace tw::sim
