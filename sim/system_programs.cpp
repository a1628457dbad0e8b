#include "sim/system_programs.h"

#include <string>
#include <vector>

#include "sim/sim_path.h"

namespace tw::sim {
namespace {

// The folders a Windows program ships in on this machine.
std::vector<std::u16string> SystemFolders(const SimMachine& machine) {
    std::vector<std::u16string> folders{machine.nativeSystemFolder()};
    if (machine.config().windows64) {
        folders.push_back(machine.wow64SystemFolder());
    }
    return folders;
}

// Splits a command's arguments at blanks; a double-quoted piece is one
// argument with its quotes removed (xcopy takes no backslash escapes, so
// "D:\" is the root of D:).
std::vector<std::u16string> SplitArguments(std::u16string_view text) {
    std::vector<std::u16string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) {
            ++at;
        }
        if (at >= text.size()) {
            break;
        }
        std::u16string piece;
        bool quoted = false;
        while (at < text.size() && (quoted || (text[at] != u' ' && text[at] != u'\t'))) {
            if (text[at] == u'"') {
                quoted = !quoted;
            } else {
                piece += text[at];
            }
            ++at;
        }
        out.push_back(std::move(piece));
    }
    return out;
}

}  // namespace

void AddNetExe(SimMachine& machine, Millis runTime) {
    for (const std::u16string& folder : SystemFolders(machine)) {
        machine.processes.addProgram(
            JoinPath(folder, u"net.exe"), [&machine, runTime](const ProcessLaunch& launch) {
                ProgramRun run;
                run.runTime = runTime;
                std::vector<std::u16string> args = SplitArguments(launch.arguments);
                bool spooler = args.size() == 2 && EqualsNoCase(args[1], u"spooler");
                if (spooler && EqualsNoCase(args[0], u"stop")) {
                    run.exitCode = machine.spooler.running() ? 0 : 2;
                    run.atExit = [&machine]() {
                        if (machine.spooler.running()) {
                            machine.spooler.stop();
                        }
                    };
                } else if (spooler && EqualsNoCase(args[0], u"start")) {
                    run.exitCode = machine.spooler.running() ? 2 : 0;
                    run.atExit = [&machine]() {
                        if (!machine.spooler.running()) {
                            machine.spooler.start();
                        }
                    };
                } else {
                    run.exitCode = 1;  // a command net.exe does not know
                }
                return run;
            });
    }
}

void AddXcopy(SimMachine& machine, XcopyBehaviour behaviour) {
    for (const std::u16string& folder : SystemFolders(machine)) {
        machine.processes.addProgram(
            JoinPath(folder, u"xcopy.exe"), [&machine, behaviour](const ProcessLaunch& launch) {
                ProgramRun run;
                std::vector<std::u16string> paths;
                for (const std::u16string& arg : SplitArguments(launch.arguments)) {
                    if (arg.empty() || arg.front() != u'/') {
                        paths.push_back(ResolvePath(launch.currentDirectory, arg));
                    }
                }
                if (paths.size() != 2 || !machine.files.isFolder(paths[0])) {
                    run.exitCode = 4;  // "Invalid number of parameters" / "File not found"
                    return run;
                }
                const std::u16string& source = paths[0];
                const std::u16string& target = paths[1];
                std::u16string sourcePrefix = source.back() == u'\\' ? source : source + u"\\";
                if (StartsWithNoCase(target + u"\\", sourcePrefix)) {
                    machine.trace.effect("xcopy: Cannot perform a cyclic copy");
                    run.exitCode = 4;
                    return run;
                }
                if (!machine.files.isFolder(target)) {
                    // The question goes to a console nobody sees; the
                    // program waits for its answer for ever.
                    machine.trace.effect("xcopy asks: Does " + Utf8(target) +
                                         " specify a file name or directory name on the "
                                         "target (F = file, D = directory)? and waits");
                    run.endless = true;
                    return run;
                }
                run.runTime = behaviour.runTime;
                if (behaviour.failsWith) {
                    run.exitCode = *behaviour.failsWith;
                    return run;
                }
                run.atExit = [&machine, source, target]() {
                    machine.files.copyTree(source, target);
                };
                return run;
            });
    }
}

}  // namespace tw::sim
