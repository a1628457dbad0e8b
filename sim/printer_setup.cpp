#include "sim/printer_setup.h"

#include <algorithm>
#include <optional>

#include "sim/command_line.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

std::string Quoted(std::u16string_view text) {
    return "\"" + Utf8(text) + "\"";
}

// The value after switch `name` ("/f" takes the next argument), if present.
std::optional<std::u16string> SwitchValue(const std::vector<std::u16string>& arguments,
                                          std::u16string_view name) {
    for (std::size_t at = 0; at + 1 < arguments.size(); ++at) {
        if (EqualsNoCase(arguments[at], name)) {
            return arguments[at + 1];
        }
    }
    return std::nullopt;
}

bool HasSwitch(const std::vector<std::u16string>& arguments, std::u16string_view name) {
    return std::any_of(arguments.begin(), arguments.end(), [&](const std::u16string& argument) {
        return EqualsNoCase(argument, name);
    });
}

// Whether `bytes` hold `text` as 8-bit characters or as UTF-16 (little
// endian), letter case ignored: an INF may be written either way.
bool ContainsText(const std::vector<std::uint8_t>& bytes, std::u16string_view text) {
    std::u16string narrow;
    for (std::uint8_t byte : bytes) {
        narrow.push_back(byte);
    }
    std::u16string wide;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        wide.push_back(static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8)));
    }
    return ContainsNoCase(narrow, text) || ContainsNoCase(wide, text);
}

}  // namespace

void PrinterSetup::addRundll32(ProcessTable& processes, std::u16string_view path) {
    processes.addProgram(path, [this](const ProcessLaunch& launch) { return run(launch); });
}

ProgramRun PrinterSetup::run(const ProcessLaunch& launch) {
    std::vector<std::u16string> arguments = SplitArguments(launch.arguments);
    if (arguments.empty() || !EqualsNoCase(arguments[0], u"printui.dll,PrintUIEntry")) {
        trace_.effect("rundll32: no printer set-up entry point in " + Quoted(launch.arguments));
        ProgramRun nothing;
        nothing.runTime = behaviour.otherRunTime;
        return nothing;
    }
    arguments.erase(arguments.begin());
    if (HasSwitch(arguments, u"/if")) {
        return install(arguments);
    }
    if (HasSwitch(arguments, u"/p")) {
        return properties(arguments);
    }
    trace_.effect("printer set-up: no command it knows in " + Quoted(launch.arguments));
    ProgramRun nothing;
    nothing.runTime = behaviour.otherRunTime;
    return nothing;
}

std::string PrinterSetup::refusal(std::u16string_view inf, std::u16string_view model,
                                  std::u16string_view port, std::u16string_view name) const {
    if (behaviour.installsNothing) {
        return "the scenario's install creates no printer";
    }
    if (inf.empty() || model.empty() || port.empty()) {
        return "switch /f, /m or /r missing";
    }
    const FileNode* node = files_.find(inf);
    if (!IsAbsolutePath(inf) || node == nullptr || node->folder) {
        return "INF " + Quoted(inf) + " not found";
    }
    if (!ContainsText(node->bytes, model)) {
        return "model " + Quoted(model) + " not in " + Quoted(inf);
    }
    if (!ports_.has(port)) {
        return "no port " + Quoted(port);
    }
    if (!spooler_.running()) {
        return "the print spooler is stopped";
    }
    if (spooler_.find(name) != nullptr) {
        return "printer " + Quoted(name) + " exists already";
    }
    return {};
}

ProgramRun PrinterSetup::install(const std::vector<std::u16string>& arguments) {
    std::u16string inf = SwitchValue(arguments, u"/f").value_or(u"");
    std::u16string model = SwitchValue(arguments, u"/m").value_or(u"");
    std::u16string port = SwitchValue(arguments, u"/r").value_or(u"");
    std::u16string name = SwitchValue(arguments, u"/b").value_or(model);

    ProgramRun run;
    run.runTime = behaviour.installRunTime;
    // What the command does is decided as it ends: the INF, the port and the
    // printers are those of that moment.
    run.atExit = [this, inf, model, port, name]() {
        std::string reason = refusal(inf, model, port, name);
        if (!reason.empty()) {
            trace_.effect("printer set-up installed nothing: " + reason);
            return;
        }
        spooler_.addDriver(model);
        PrintQueue queue;
        queue.name = name;
        queue.driverName = model;
        queue.portName = port;
        spooler_.addQueue(std::move(queue));
        trace_.effect("printer " + Quoted(name) + " installed on " + Quoted(port) + " (model " +
                      Quoted(model) + " from " + Quoted(inf) + ")");
    };
    return run;
}

ProgramRun PrinterSetup::properties(const std::vector<std::u16string>& arguments) {
    std::u16string name = SwitchValue(arguments, u"/n").value_or(u"");
    bool found = !name.empty() && spooler_.running() && spooler_.find(name) != nullptr;
    windows_.push_back({clock_.now(), name, found});
    trace_.screen(found ? "properties window of printer " + Quoted(name) + " opens"
                        : "printer set-up error window: printer " + Quoted(name) + " not found");
    ProgramRun run;
    run.endless = true;  // the window stays until the user closes it
    run.inputIdleAfter = behaviour.propertiesReadyAfter;
    return run;
}

}  // namespace tw::sim
