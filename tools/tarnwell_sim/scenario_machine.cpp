// Builds the simulated machine a scenario describes, section by section, in
// the order of the schema: the package first, so that the files, programs and
// registry sections can change what it laid out.
#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/text_format.h"
#include "sim/access_control_tool.h"
#include "sim/sim_path.h"
#include "sim/system_locale.h"
#include "tools/tarnwell_sim/real_programs.h"
#include "tools/tarnwell_sim/sample_package.h"
#include "tools/tarnwell_sim/scenario.h"
#include "wizard/resource.h"
#include "wizard/text_table.h"

namespace tw::tarnwell_sim {
namespace {

// The program behaviour of a tool that records its calls: the command line it
// was started with is appended, as a line of UTF-8, to "<name>_calls.txt"
// beside its program file.
sim::ProgramBehaviour RecordingProgram(sim::SimMachine& machine, sim::Millis runTime,
                                       std::uint32_t exitCode) {
    return [&machine, runTime, exitCode](const sim::ProcessLaunch& launch) {
        std::u16string image = sim::NormalizePath(launch.image);
        std::u16string name(sim::FileName(image));
        if (std::size_t dot = name.rfind(u'.'); dot != std::u16string::npos) {
            name.resize(dot);
        }
        std::u16string record = sim::JoinPath(sim::ParentPath(image), name + u"_calls.txt");
        std::vector<std::uint8_t> bytes;
        if (const sim::FileNode* existing = machine.files.find(record)) {
            bytes = existing->bytes;
        }
        std::string line = platform::ToUtf8(launch.commandLine) + "\r\n";
        bytes.insert(bytes.end(), line.begin(), line.end());
        machine.files.writeFile(record, std::move(bytes));
        sim::ProgramRun run;
        run.runTime = runTime;
        run.exitCode = exitCode;
        return run;
    };
}

sim::ProgramRun EndsAtOnce(const sim::ProcessLaunch& /*launch*/) {
    return {};
}

// A relative package name ("Systems/Config.exe", any letter case for the
// folder) as the path of the package on the machine.
std::u16string PackagePath(const std::u16string& root, std::string_view relative) {
    std::u16string path = root;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string_view::npos) {
            end = relative.size();
        }
        std::u16string part = platform::FromUtf8(relative.substr(start, end - start));
        // The package has one "Systems" folder, whatever case the maker wrote.
        if (start == 0 && end < relative.size() && sim::EqualsNoCase(part, u"Systems")) {
            part = u"Systems";
        }
        path = sim::JoinPath(path, part);
        start = end + 1;
    }
    return path;
}

void PlacePackage(const Scenario& scenario, sim::SimMachine& machine) {
    const PackageSection& package = *scenario.package;
    std::u16string root = sim::NormalizePath(package.root);
    auto lacked = [&](const std::u16string& path) {
        return std::any_of(
            package.lacks.begin(), package.lacks.end(), [&](const std::u16string& name) {
                return sim::EqualsNoCase(path, sim::NormalizePath(sim::JoinPath(root, name)));
            });
    };
    auto addFile = [&](const std::u16string& path, std::vector<std::uint8_t> bytes) {
        if (!lacked(path)) {
            machine.files.addFile(path, std::move(bytes));
        }
    };
    auto addProgram = [&](const std::u16string& path, sim::ProgramBehaviour behaviour) {
        if (!lacked(path)) {
            machine.processes.addProgram(path, std::move(behaviour));
        }
    };

    machine.files.addFolders(sim::JoinPath(root, u"Systems"));
    if (package.vendorFolder.empty()) {
        for (const EmbeddedFile& file : SamplePackageFiles()) {
            addFile(PackagePath(root, file.name), {file.bytes.begin(), file.bytes.end()});
        }
    } else {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(package.vendorFolder, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            std::string relative =
                it->path().lexically_relative(package.vendorFolder).generic_string();
            if (it->is_directory()) {
                machine.files.addFolders(PackagePath(root, relative));
                continue;
            }
            std::ifstream in(it->path(), std::ios::binary);
            if (!in) {
                throw ScenarioError(
                    scenario.file, "/package/vendorFiles",
                    "a folder whose files can be read (" + it->path().string() + " cannot)");
            }
            addFile(PackagePath(root, relative),
                    {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        }
        if (error) {
            throw ScenarioError(scenario.file, "/package/vendorFiles",
                                "a folder that can be read (" + error.message() + ")");
        }
    }
    // The programs. setup.exe and Install.exe run as real code (a "programs"
    // entry of the same path makes one a plain program instead), Install.exe
    // with its resources. Config.exe plays the maker's access-control tool:
    // it grants the access it is asked for.
    addProgram(sim::JoinPath(root, u"setup.exe"), EndsAtOnce);
    std::u16string install = PackagePath(root, "Systems/Install.exe");
    if (!lacked(install)) {
        machine.processes.addProgram(install, RealWizardProgram(machine));
        machine.resources.set(install, sim::InstallResources());
    }
    std::u16string tool = PackagePath(root, "Systems/Config.exe");
    if (!lacked(tool)) {
        sim::AddAccessControlTool(machine, tool);
    }
}

void PlaceFiles(const Scenario& scenario, sim::SimMachine& machine) {
    for (const FileEntry& entry : scenario.files) {
        if (entry.folder) {
            machine.files.addFolders(entry.path);
            continue;
        }
        sim::FileNode& node = machine.files.addFile(entry.path, entry.bytes, entry.attributes);
        node.inUse = entry.inUse;
    }
}

// Before the scenario's own programs, which may replace them.
void PlaceSystemPrograms(const Scenario& scenario, sim::SimMachine& machine) {
    if (scenario.systemPrograms.netRunTime) {
        sim::AddNetExe(machine, *scenario.systemPrograms.netRunTime);
    }
    if (scenario.systemPrograms.xcopy) {
        sim::AddXcopy(machine, *scenario.systemPrograms.xcopy);
    }
}

void PlacePrograms(const Scenario& scenario, sim::SimMachine& machine) {
    for (const ProgramEntry& program : scenario.programs) {
        if (program.recordsCalls) {
            sim::ProgramBehaviour recording =
                RecordingProgram(machine, program.runTime, program.exitCode);
            bool endless = program.endless;
            machine.processes.addProgram(program.path,
                                         [recording, endless](const sim::ProcessLaunch& launch) {
                                             sim::ProgramRun run = recording(launch);
                                             run.endless = endless;
                                             return run;
                                         });
        } else {
            machine.processes.addProgram(program.path, [program](const sim::ProcessLaunch&) {
                sim::ProgramRun run;
                run.runTime = program.runTime;
                run.endless = program.endless;
                run.exitCode = program.exitCode;
                return run;
            });
        }
    }
}

void PlaceRegistry(const Scenario& scenario, sim::SimMachine& machine) {
    for (const RegistryEntry& entry : scenario.registry) {
        sim::RegistryKey& key = machine.registry.create(entry.root, entry.path);
        key.deleteDenied = entry.deleteDenied;
        for (const auto& [name, value] : entry.values) {
            machine.registry.setValue(entry.root, entry.path, name, value);
        }
    }
}

void ApplyModules(const Scenario& scenario, sim::SimMachine& machine) {
    for (std::size_t i = 0; i < scenario.modules.size(); ++i) {
        const ModuleEntry& entry = scenario.modules[i];
        if (machine.modules.find(entry.module) == nullptr) {
            throw ScenarioError(scenario.file, "/modules/" + std::to_string(i) + "/module",
                                "a module of the simulated machine (kernel32, setupapi), not \"" +
                                    platform::ToUtf8(entry.module) + "\"");
        }
        for (const std::string& function : entry.lacks) {
            machine.modules.removeExport(entry.module, function);
        }
    }
}

void PlaceUsb(const Scenario& scenario, sim::SimMachine& machine) {
    for (const UsbEntry& entry : scenario.usb) {
        sim::UsbPrinterInterface& device =
            entry.engraver
                ? machine.usb.addEngraver(sim::EngraverInterfacePath(entry.makerTag, entry.serial))
                : machine.usb.addPrinter(sim::UsbPrintInterfacePath(entry.hardware, entry.serial));
        device.connected = entry.connected;
        device.poweredOn = entry.poweredOn;
        device.openError = entry.openError;
        if (device.engraver) {
            device.engraver->status = entry.status;
            for (const std::vector<std::uint8_t>& reply : entry.replies) {
                device.engraver->scriptReply(reply);
            }
        }
        for (const UsbEvent& event : entry.events) {
            switch (event.action) {
                case UsbEvent::Action::SwitchOff:
                    machine.usb.switchOff(device, event.at);
                    break;
                case UsbEvent::Action::SwitchOn:
                    machine.usb.switchOn(device, event.at);
                    break;
                case UsbEvent::Action::Unplug:
                    machine.usb.unplug(device, event.at);
                    break;
                case UsbEvent::Action::PlugIn:
                    machine.usb.plugIn(device, event.at);
                    break;
            }
        }
    }
}

// What the user does in front of the wizard: the port type, the first click
// of Next, the scenario's clicks, and the reactions to the label texts (in
// both of the wizard's languages: only the one it speaks ever shows).
void PlaceWizardUser(const Scenario& scenario, sim::SimMachine& machine) {
    const UserSection& user = scenario.user;
    sim::Millis start = machine.clock.now();
    if (user.choosesOther) {
        machine.user.clickAt(start + user.portAt, IDC_OTHER);
    }
    if (user.nextAt) {
        machine.user.clickAt(start + *user.nextAt, IDC_NEXT);
    }
    for (const WizardClick& click : user.clicks) {
        if (click.control == 0) {
            machine.user.closeBoxAt(start + click.at);
        } else {
            machine.user.clickAt(start + click.at, click.control);
        }
    }

    sim::UsbPrinterInterface* engraver = nullptr;
    for (const auto& device : machine.usb.all()) {
        if (device->engraver) {
            engraver = device.get();
            break;
        }
    }
    const bool explicitReactions = user.reactions.has_value();
    for (const WizardReaction& reaction : user.reactions.value_or(DefaultReactions())) {
        std::string what;
        std::function<void()> action;
        auto onEngraver = [&](std::string text, auto change) {
            if (engraver == nullptr) {
                if (explicitReactions) {
                    throw ScenarioError(scenario.file, "/user/reactions",
                                        "an engraver in \"usb\" for the reactions that act on it");
                }
                return;
            }
            what = std::move(text);
            action = [&machine, engraver, change] { change(machine.usb, *engraver); };
        };
        using Action = WizardReaction::Action;
        switch (reaction.action) {
            case Action::SwitchOff:
                onEngraver("switches the engraver off",
                           [](sim::UsbDevices& usb, auto& device) { usb.switchOff(device); });
                break;
            case Action::SwitchOn:
                onEngraver("switches the engraver on",
                           [](sim::UsbDevices& usb, auto& device) { usb.switchOn(device); });
                break;
            case Action::Connect:
                onEngraver("connects the engraver and switches it on",
                           [](sim::UsbDevices& usb, auto& device) {
                               if (!device.connected) {
                                   usb.plugIn(device);
                               }
                               usb.switchOn(device);
                           });
                break;
            case Action::Unplug:
                onEngraver("unplugs the engraver",
                           [](sim::UsbDevices& usb, auto& device) { usb.unplug(device); });
                break;
            case Action::PlugIn:
                onEngraver("plugs the engraver in",
                           [](sim::UsbDevices& usb, auto& device) { usb.plugIn(device); });
                break;
            case Action::Click:
            case Action::CloseBox:
                break;
        }
        for (std::string_view literal : {wizard::kTextLiterals[reaction.text].english,
                                         wizard::kTextLiterals[reaction.text].french}) {
            std::optional<std::u16string> text =
                sim::WidenCodePage(machine.locale.ansiCodePage, literal);
            if (!text) {
                continue;
            }
            if (reaction.action == Action::Click) {
                machine.user.clickWhenShown(*text, reaction.after, reaction.control);
            } else if (reaction.action == Action::CloseBox) {
                machine.user.reactTo(*text, reaction.after, "closes the wizard",
                                     [&machine] { machine.dialogs.closeBox(); });
            } else if (action) {
                machine.user.reactTo(*text, reaction.after, what, action);
            }
        }
    }
}

void PlaceSpoolerAndUser(const Scenario& scenario, sim::SimMachine& machine) {
    const SpoolerSection& spooler = scenario.spooler;
    machine.spooler.setRunning(spooler.running);
    for (const sim::PrintQueue& queue : spooler.queues) {
        machine.spooler.addQueue(queue);
    }
    for (const std::u16string& driver : spooler.drivers) {
        machine.spooler.addDriver(driver);
    }
    for (const std::u16string& path : spooler.heldWhileRunning) {
        machine.spooler.holdWhileRunning(path);
    }
    if (spooler.ports) {
        machine.ports.names = *spooler.ports;
    }
    machine.printerSetup.behaviour = spooler.printerSetup;
    for (const sim::InfPackage& package : scenario.infFolder) {
        machine.infs.add(package);
    }
    if (scenario.user.name) {
        machine.userName = *scenario.user.name;
    }
    machine.restartPrompt.userAgrees = scenario.user.agreesToRestart;
    machine.restartPrompt.answerTime = scenario.user.restartAnswerTime;
    if (scenario.tempPath) {
        machine.tempPath = *scenario.tempPath;
    }
    if (scenario.language) {
        machine.locale.defaultLangId = *scenario.language;
    }
}

}  // namespace

std::vector<WizardReaction> DefaultReactions() {
    using Action = WizardReaction::Action;
    return {
        {wizard::TextSwitchOff, 2500, Action::SwitchOff, 0},
        {wizard::TextConnect, 4000, Action::Connect, 0},
        {wizard::TextSwitchOn, 1500, Action::SwitchOn, 0},
        {wizard::TextClickNext, 5000, Action::Click, IDC_NEXT},
    };
}

void BuildMachine(const Scenario& scenario, sim::SimMachine& machine) {
    if (scenario.package) {
        PlacePackage(scenario, machine);
    }
    PlaceFiles(scenario, machine);
    PlaceSystemPrograms(scenario, machine);
    PlacePrograms(scenario, machine);
    PlaceRegistry(scenario, machine);
    ApplyModules(scenario, machine);
    PlaceUsb(scenario, machine);
    PlaceSpoolerAndUser(scenario, machine);
    PlaceWizardUser(scenario, machine);
    for (const sim::FaultRule& rule : scenario.faults) {
        machine.faults.add(rule);
    }
    if (!machine.files.isFile(scenario.run.path)) {
        throw ScenarioError(scenario.file, scenario.run.pathPlace,
                            "the program file to run, on the simulated machine (" +
                                platform::ToUtf8(scenario.run.path) + " is not there)");
    }
}

}  // namespace tw::tarnwell_sim
