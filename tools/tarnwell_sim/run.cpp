#include "tools/tarnwell_sim/run.h"

#include <map>

#include "platform/text_format.h"
#include "sim/sim_path.h"
#include "tools/tarnwell_sim/dialog_picture.h"
#include "tools/tarnwell_sim/real_programs.h"

namespace tw::tarnwell_sim {
namespace {

using platform::ToUtf8;

// What the machine holds, to tell its changes: files and folders by folded
// path, registry keys and values by folded name.
struct Snapshot {
    struct Item {
        std::string shown;  // "file C:\..." with the case it was created with
        std::string state;  // compared to find changes
    };
    std::map<std::u16string, Item> items;
};

void SnapshotFolder(const sim::FileSystem& files, std::u16string_view folder, Snapshot& out) {
    for (const sim::FileNode* node : files.children(folder)) {
        std::string shown = (node->folder ? "folder " : "file ") + ToUtf8(node->path);
        std::string state;
        if (!node->folder) {
            state.assign(node->bytes.begin(), node->bytes.end());
            state += "|attributes " + std::to_string(node->attributes);
        }
        out.items[u"F" + sim::FoldCase(node->path)] = {shown, state};
        if (node->folder) {
            SnapshotFolder(files, node->path, out);
        }
    }
}

void SnapshotKey(const sim::RegistryKey& key, const std::string& shownPath,
                 const std::u16string& foldedPath, Snapshot& out) {
    for (const auto& [folded, value] : key.values) {
        std::string name = ToUtf8(key.valueNames.at(folded));
        std::string state(value.data.begin(), value.data.end());
        state += "|type " + std::to_string(value.type);
        std::string shown = "registry value ";
        shown.append(shownPath).append(" [").append(name.empty() ? "(default)" : name).append("]");
        std::u16string item = u"V";
        item.append(foldedPath).append(u"\\").append(folded);
        out.items[item] = {shown, state};
    }
    for (const auto& [folded, child] : key.subkeys) {
        std::string childShown = shownPath;
        childShown.append("\\").append(ToUtf8(child.name));
        std::u16string childFolded = foldedPath;
        childFolded.append(u"\\").append(folded);
        out.items[u"K" + childFolded] = {"registry key " + childShown, ""};
        SnapshotKey(child, childShown, childFolded, out);
    }
}

Snapshot TakeSnapshot(sim::SimMachine& machine) {
    Snapshot snapshot;
    for (char16_t drive = u'A'; drive <= u'Z'; ++drive) {
        SnapshotFolder(machine.files, std::u16string{drive, u':', u'\\'}, snapshot);
    }
    for (sim::RegistryRoot root :
         {sim::RegistryRoot::LocalMachine, sim::RegistryRoot::CurrentUser}) {
        if (const sim::RegistryKey* key = machine.registry.find(root, u"")) {
            std::string name = sim::RootName(root);
            SnapshotKey(*key, name, platform::FromUtf8(name), snapshot);
        }
    }
    for (const auto& queue : machine.spooler.queues()) {
        std::string state = ToUtf8(queue->driverName);
        state.append("|").append(ToUtf8(queue->portName));
        state.append("|jobs ").append(std::to_string(queue->jobs));
        snapshot.items[u"Q" + sim::FoldCase(queue->name)] = {"print queue " + ToUtf8(queue->name),
                                                             state};
    }
    for (const std::u16string& driver : machine.spooler.driverNames()) {
        snapshot.items[u"D" + sim::FoldCase(driver)] = {"printer driver " + ToUtf8(driver), ""};
    }
    return snapshot;
}

std::vector<Change> Compare(const Snapshot& before, const Snapshot& after) {
    std::vector<Change> changes;
    for (const auto& [key, item] : before.items) {
        auto now = after.items.find(key);
        if (now == after.items.end()) {
            changes.push_back({Change::Kind::Deleted, item.shown});
        } else if (now->second.state != item.state) {
            changes.push_back({Change::Kind::Changed, item.shown});
        }
    }
    for (const auto& [key, item] : after.items) {
        if (before.items.count(key) == 0) {
            changes.push_back({Change::Kind::Created, item.shown});
        }
    }
    return changes;
}

// Runs the program the scenario names as the real code.
int RunRealProgram(const Scenario& scenario, sim::SimMachine& machine) {
    const RunSection& run = scenario.run;
    switch (run.program) {
        case RunProgram::Setup:
            return RunRealSetup(machine, run.path, run.currentDirectory, run.arguments);
        case RunProgram::Install:
            // Started by hand: the arguments as WinMain would receive them.
            RunRealWizard(machine, run.path, run.currentDirectory,
                          std::u16string(run.arguments.begin(), run.arguments.end()));
            return 0;
    }
    return 0;
}

void CheckEngraver(const EngraverExpectation& expect, sim::SimMachine& machine,
                   std::vector<std::string>& unmet) {
    const sim::EngraverDevice* engraver = nullptr;
    for (const auto& device : machine.usb.all()) {
        if (device->engraver) {
            engraver = device->engraver.get();
            break;
        }
    }
    if (engraver == nullptr) {
        unmet.emplace_back("an engraver expected on USB, but the machine has none");
        return;
    }
    std::vector<std::uint8_t> received = engraver->received();
    if (expect.receivedFile) {
        const sim::FileNode* file = machine.files.find(*expect.receivedFile);
        if (file == nullptr) {
            unmet.push_back("the file the engraver should have received is not there: " +
                            ToUtf8(*expect.receivedFile));
        } else if (file->bytes != received) {
            unmet.push_back("the engraver received " + std::to_string(received.size()) +
                            " bytes, not the " + std::to_string(file->bytes.size()) + " bytes of " +
                            ToUtf8(*expect.receivedFile));
        }
    }
    if (expect.receivedBytes && *expect.receivedBytes != received.size()) {
        unmet.push_back("the engraver received " + std::to_string(received.size()) +
                        " bytes, expected " + std::to_string(*expect.receivedBytes));
    }
    if (expect.writes && *expect.writes != engraver->offeredSizes()) {
        std::string sizes;
        for (std::uint32_t size : engraver->offeredSizes()) {
            sizes += (sizes.empty() ? "" : ", ") + std::to_string(size);
        }
        unmet.push_back("the engraver's writes were [" + sizes + "]");
    }
    if (expect.statusQueries && *expect.statusQueries != engraver->statusQueries()) {
        unmet.push_back("the engraver got " + std::to_string(engraver->statusQueries()) +
                        " status queries, expected " + std::to_string(*expect.statusQueries));
    }
}

void CheckExpectations(const ExpectSection& expect, sim::SimMachine& machine, RunResult& result) {
    std::vector<std::string>& unmet = result.unmet;
    if (result.stuck) {
        unmet.push_back("the run did not end: " + *result.stuck);
    }
    if (expect.exitCode && *expect.exitCode != result.exitCode) {
        unmet.push_back("exit code " + std::to_string(*expect.exitCode) + " expected, got " +
                        std::to_string(result.exitCode));
    }
    auto compareList = [&](const char* what, const std::vector<std::u16string>& expected,
                           const std::vector<std::string>& actual) {
        std::size_t count = std::max(expected.size(), actual.size());
        for (std::size_t i = 0; i < count; ++i) {
            std::string want = i < expected.size() ? ToUtf8(expected[i]) : "(none)";
            std::string got = i < actual.size() ? actual[i] : "(none)";
            if (want != got) {
                std::string text = std::string(what) + " " + std::to_string(i + 1);
                text.append(": expected \"").append(want).append("\", got \"").append(got);
                unmet.push_back(text + "\"");
            }
        }
    };
    if (expect.messageBoxes) {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : result.messageBoxes) {
            texts.push_back(box.text);
        }
        compareList("message box", *expect.messageBoxes, texts);
    }
    if (expect.started) {
        std::vector<std::string> commands;
        for (const ProcessRecord& process : result.processes) {
            commands.push_back(process.commandLine);
        }
        compareList("started process", *expect.started, commands);
    }
    for (const std::u16string& path : expect.filesPresent) {
        if (!machine.files.isFile(path)) {
            unmet.push_back("file expected but missing: " + ToUtf8(path));
        }
    }
    for (const std::u16string& path : expect.filesAbsent) {
        if (machine.files.find(path) != nullptr) {
            unmet.push_back("file expected gone but present: " + ToUtf8(path));
        }
    }
    std::size_t from = 0;
    for (const TimelineExpectation& line : expect.timeline) {
        bool found = false;
        for (; from < result.trace.size() && !found; ++from) {
            const sim::TraceEntry& entry = result.trace[from];
            found = entry.text.find(line.text) != std::string::npos &&
                    (!line.at || entry.at == *line.at);
        }
        if (!found) {
            unmet.push_back("timeline line not found (in order" +
                            (line.at ? ", at " + std::to_string(*line.at) + " ms" : std::string()) +
                            "): \"" + line.text + "\"");
            break;
        }
    }
    if (expect.duration && *expect.duration != result.duration) {
        unmet.push_back("duration " + std::to_string(*expect.duration) + " ms expected, got " +
                        std::to_string(result.duration) + " ms");
    }
    if (expect.engraver) {
        CheckEngraver(*expect.engraver, machine, unmet);
    }
    for (const PlannedFaultRecord& fault : result.plannedFaults) {
        if (fault.fired == 0) {
            unmet.push_back(
                "planned fault never fired: " + fault.function +
                (fault.argumentContains.empty() ? "" : " on " + fault.argumentContains));
        }
    }
}

}  // namespace

RunResult RunScenario(const Scenario& scenario, const RunOptions& options) {
    sim::MachineConfig config = scenario.machine;
    if (options.seed) {
        config.seed = *options.seed;
    }
    sim::SimMachine machine(config);
    BuildMachine(scenario, machine);

    RunResult result;
    result.file = scenario.file;
    result.name = scenario.name;
    result.description = scenario.description;
    result.seed = config.seed;
    result.clockStart = machine.clock.now();
    machine.clock.setHorizon(result.clockStart + scenario.timeLimit);
    if (options.randomFaults) {
        sim::RandomFaults faults =
            scenario.randomFaults.value_or(DefaultRandomFaults(kDefaultRandomFaultRate));
        if (options.faultRate) {
            faults.rate = *options.faultRate;
        }
        machine.faults.enableRandom(std::move(faults), machine.random);
        result.randomFaults = true;
    }

    if (options.progress) {
        machine.clock.setProgress([&options, start = result.clockStart](sim::Millis now) {
            options.progress(now - start);
        });
    }

    if (options.frames) {
        machine.dialogs.onVisibleChange = [&result, &machine](const sim::DialogWindow& dialog) {
            Frame frame{machine.clock.now() - result.clockStart, DialogPicture(dialog)};
            // Changes within one moment show together: the last state counts.
            if (!result.frames.empty() && result.frames.back().at == frame.at) {
                result.frames.pop_back();
            }
            if (result.frames.empty() || result.frames.back().picture != frame.picture) {
                result.frames.push_back(std::move(frame));
            }
        };
    }

    // Only what the run does goes into the timeline, not the building.
    std::size_t traceStart = machine.trace.entries().size();
    Snapshot before = TakeSnapshot(machine);
    try {
        result.exitCode = RunRealProgram(scenario, machine);
    } catch (const sim::SimStuck& stuck) {
        result.stuck = stuck.what();
    }
    result.duration = machine.clock.now() - result.clockStart;

    const std::vector<sim::TraceEntry>& entries = machine.trace.entries();
    for (std::size_t i = traceStart; i < entries.size(); ++i) {
        sim::TraceEntry entry = entries[i];
        entry.at -= result.clockStart;
        result.trace.push_back(std::move(entry));
    }
    result.changes = Compare(before, TakeSnapshot(machine));
    for (const auto& process : machine.processes.processes()) {
        ProcessRecord record;
        record.id = process->id;
        record.commandLine = ToUtf8(process->launch.commandLine);
        record.startedAt = process->startedAt - result.clockStart;
        if (process->endedAt) {
            record.endedAt = *process->endedAt - result.clockStart;
        }
        record.exitCode = process->exitCode;
        result.processes.push_back(record);
    }
    for (const sim::MessageBoxRecord& box : machine.desktop.messageBoxes()) {
        result.messageBoxes.push_back(
            {box.at - result.clockStart, ToUtf8(box.caption), ToUtf8(box.text)});
    }
    for (const sim::FaultRule& rule : machine.faults.rules()) {
        result.plannedFaults.push_back(
            {rule.function, ToUtf8(rule.argumentContains), rule.error, rule.fired});
    }
    result.randomFaultsFired = machine.faults.randomFired();
    for (const auto& device : machine.usb.all()) {
        if (device->engraver) {
            result.engravers.push_back({ToUtf8(device->path), device->engraver->offeredSizes(),
                                        device->engraver->received().size(),
                                        device->engraver->statusQueries()});
        }
    }

    if (scenario.expect && !result.randomFaults) {
        result.expectationsChecked = true;
        CheckExpectations(*scenario.expect, machine, result);
    }
    return result;
}

}  // namespace tw::tarnwell_sim
