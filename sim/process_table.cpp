#include "sim/process_table.h"

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

std::string ProcessObject::describe() const {
    return "process " + std::to_string(process->id) + " " + Utf8(process->launch.image);
}

std::string ThreadObject::describe() const {
    return "thread of process " + std::to_string(process->id) + " " + Utf8(process->launch.image);
}

void ProcessTable::addProgram(std::u16string_view path, ProgramBehaviour behaviour) {
    std::u16string normal = NormalizePath(path);
    if (!files_.isFile(normal)) {
        files_.addFile(normal, {'M', 'Z'});
    }
    programs_[FoldCase(normal)] = std::move(behaviour);
}

void ProcessTable::addSimpleProgram(std::u16string_view path, Millis runTime,
                                    std::uint32_t exitCode) {
    addProgram(path, [runTime, exitCode](const ProcessLaunch&) {
        ProgramRun run;
        run.runTime = runTime;
        run.exitCode = exitCode;
        return run;
    });
}

bool ProcessTable::isProgram(std::u16string_view path) const {
    return programs_.count(FoldCase(NormalizePath(path))) == 1;
}

std::optional<std::u16string> ProcessTable::locate(std::u16string_view name,
                                                   const ProgramSearch& search) const {
    bool hasFolder = name.find(u'\\') != std::u16string_view::npos ||
                     name.find(u'/') != std::u16string_view::npos ||
                     name.find(u':') != std::u16string_view::npos;
    if (hasFolder) {
        std::u16string full = ResolvePath(search.currentDirectory, name);
        if (files_.isFile(full)) {
            return full;
        }
        return std::nullopt;
    }
    std::vector<std::u16string> folders;
    folders.push_back(ParentPath(NormalizePath(search.callerImage)));
    folders.push_back(search.currentDirectory);
    folders.insert(folders.end(), search.systemFolders.begin(), search.systemFolders.end());
    for (const std::u16string& folder : folders) {
        std::u16string full = JoinPath(NormalizePath(folder), name);
        if (files_.isFile(full)) {
            return full;
        }
    }
    return std::nullopt;
}

std::optional<ResolvedProgram> ProcessTable::resolve(std::u16string_view commandLine,
                                                     const ProgramSearch& search,
                                                     std::uint32_t& error) const {
    auto isBlank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    auto argumentsAfter = [&](std::size_t end) {
        std::size_t at = end;
        while (at < commandLine.size() && isBlank(commandLine[at])) {
            ++at;
        }
        return std::u16string(commandLine.substr(at));
    };

    // Candidate program texts with the position where the arguments start.
    std::vector<std::pair<std::u16string, std::size_t>> candidates;
    if (!commandLine.empty() && commandLine[0] == u'"') {
        std::size_t close = commandLine.find(u'"', 1);
        std::size_t end = close == std::u16string_view::npos ? commandLine.size() : close;
        candidates.emplace_back(std::u16string(commandLine.substr(1, end - 1)),
                                close == std::u16string_view::npos ? end : end + 1);
    } else {
        for (std::size_t i = 0; i < commandLine.size(); ++i) {
            if (isBlank(commandLine[i]) && i > 0) {
                candidates.emplace_back(std::u16string(commandLine.substr(0, i)), i);
            }
        }
        candidates.emplace_back(std::u16string(commandLine), commandLine.size());
    }

    // The head of the command line goes through a path search, which reports
    // a missing folder as a missing file.
    error = win::kErrorFileNotFound;
    for (const auto& [text, argumentsAt] : candidates) {
        if (text.empty()) {
            continue;
        }
        std::u16string name = text;
        if (!HasExtension(name)) {
            name += u".exe";
        }
        std::optional<std::u16string> found = locate(name, search);
        if (!found) {
            continue;
        }
        if (!isProgram(*found)) {
            error = win::kErrorBadExeFormat;
            return std::nullopt;
        }
        return ResolvedProgram{*found, argumentsAfter(argumentsAt)};
    }
    return std::nullopt;
}

std::shared_ptr<SimProcess> ProcessTable::start(ProcessLaunch launch) {
    auto process = std::make_shared<SimProcess>();
    process->id = nextId_;
    nextId_ += 4;
    process->launch = std::move(launch);
    process->startedAt = clock_.now();
    processes_.push_back(process);
    trace_.effect("process " + std::to_string(process->id) +
                  " started: " + Utf8(process->launch.commandLine));

    const ProgramBehaviour& behaviour = programs_.at(FoldCase(process->launch.image));
    ProgramRun run = behaviour(process->launch);
    if (run.inputIdleAfter) {
        process->hasMessageQueue = true;
        clock_.scheduleIn(*run.inputIdleAfter,
                          "process " + std::to_string(process->id) + " waits for input",
                          [this, process]() {
                              if (process->running()) {
                                  process->inputIdleAt = clock_.now();
                                  trace_.effect("process " + std::to_string(process->id) +
                                                " waits for user input");
                              }
                          });
    }
    if (!run.endless) {
        clock_.scheduleIn(
            run.runTime, "end of process " + std::to_string(process->id), [this, process, run]() {
                process->endedAt = clock_.now();
                process->exitCode = run.exitCode;
                if (run.atExit) {
                    run.atExit();
                }
                trace_.effect("process " + std::to_string(process->id) + " ended with exit code " +
                              std::to_string(run.exitCode));
            });
    }
    return process;
}

std::vector<std::shared_ptr<SimProcess>> ProcessTable::startsOf(std::u16string_view image) const {
    std::vector<std::shared_ptr<SimProcess>> out;
    for (const auto& process : processes_) {
        if (EqualsNoCase(process->launch.image, NormalizePath(image))) {
            out.push_back(process);
        }
    }
    return out;
}

}  // namespace tw::sim
