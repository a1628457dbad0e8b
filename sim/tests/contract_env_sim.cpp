// The contract cases' environment on the simulated machine: the test program
// runs as C:\Tests\contract.exe, and the child program is a registered
// program that behaves as the real test child does.
#include <string>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"
#include "sim/usb_link.h"

namespace tw::contract {
namespace {

class SimContractEnv : public ContractEnv {
  public:
    SimContractEnv() {
        machine_.files.addFolders(u"C:\\Tests");
        // The test program carries install's resources, as the real one does.
        machine_.files.addFile(kProgram);
        machine_.resources.set(kProgram, sim::InstallResources());
    }

    std::string name() const override { return "sim"; }
    platform::Platform& platform() override { return platform_.platform(); }

    std::u16string freshFolder() override {
        std::u16string path = u"C:\\Tests\\run " + platform::FromUtf8(std::to_string(++runs_));
        machine_.files.addFolders(path);
        return path;
    }

    void makeFolder(std::u16string_view path) override { machine_.files.addFolders(path); }

    void placeChild(std::u16string_view path) override {
        machine_.processes.addProgram(path, [this](const sim::ProcessLaunch& launch) {
            std::u16string record = sim::JoinPath(launch.currentDirectory, u"child_record.txt");
            std::string line = sim::Utf8(launch.image) + "|" + sim::Utf8(launch.currentDirectory) +
                               "|" + sim::Utf8(launch.commandLine) + "\n";
            std::vector<std::uint8_t> bytes;
            if (const sim::FileNode* old = machine_.files.find(record)) {
                bytes = old->bytes;
            }
            bytes.insert(bytes.end(), line.begin(), line.end());
            machine_.files.writeFile(record, bytes);
            sim::ProgramRun run;
            std::u16string_view args = launch.arguments;
            if (args.substr(0, 6) == u"sleep ") {
                run.runTime = std::stoul(sim::Utf8(args.substr(6)));
            }
            return run;
        });
    }

    platform::DeviceInfoSet interfaceList(std::u16string& path) override {
        // The path Windows forms for a root-enumerated device's interface.
        path = u"\\\\?\\root#tw_contract#0000#" + std::u16string(sim::kUsbPrintClassText);
        auto device = std::make_shared<sim::UsbPrinterInterface>(path, nullptr);
        device->poweredOn = false;  // made for the case, not present
        platform::Handle list = machine_.handles.add(std::make_shared<sim::DeviceInfoListObject>(
            std::vector<std::shared_ptr<sim::UsbPrinterInterface>>{device}));
        return platform::DeviceInfoSet{static_cast<std::uintptr_t>(list)};
    }

    void placeWindowChild(std::u16string_view path) override {
        machine_.processes.addProgram(path, [this](const sim::ProcessLaunch& launch) {
            std::string arguments = sim::Utf8(launch.arguments);
            std::size_t blank = arguments.find(' ');
            sim::Millis untilWindow = std::stoul(arguments.substr(0, blank));
            sim::Millis afterWindow = std::stoul(arguments.substr(blank + 1));
            std::u16string record = sim::JoinPath(launch.currentDirectory, u"window_record.txt");
            machine_.clock.scheduleIn(untilWindow, "window child opens its window", [this, record] {
                std::vector<std::uint8_t> bytes;
                if (const sim::FileNode* old = machine_.files.find(record)) {
                    bytes = old->bytes;
                }
                for (char c : std::string("window\n")) {
                    bytes.push_back(static_cast<std::uint8_t>(c));
                }
                machine_.files.writeFile(record, bytes);
            });
            sim::ProgramRun run;
            run.inputIdleAfter = untilWindow;
            run.runTime = untilWindow + afterWindow;
            return run;
        });
    }

    std::optional<std::string> readText(std::u16string_view path) override {
        const sim::FileNode* node = machine_.files.find(path);
        if (node == nullptr || node->folder) {
            return std::nullopt;
        }
        return std::string(node->bytes.begin(), node->bytes.end());
    }

    void makeMachineKey(std::u16string_view path) override {
        machine_.registry.create(sim::RegistryRoot::LocalMachine, path);
    }

    bool machineKeyExists(std::u16string_view path) override {
        return machine_.registry.find(sim::RegistryRoot::LocalMachine, path) != nullptr;
    }

    bool program32() const override { return platform_.process().bits32; }
    bool wow64() const override {
        return machine_.config().windows64 && platform_.process().bits32;
    }
    void addPrinterQueue(std::u16string_view name, std::u16string_view driverName) override {
        sim::PrintQueue queue;
        queue.name = std::u16string(name);
        queue.driverName = std::u16string(driverName);
        machine_.spooler.addQueue(std::move(queue));
    }
    std::optional<std::u16string> registryString(std::u16string_view key,
                                                 std::u16string_view name) override {
        return machine_.registry.stringValue(sim::RegistryRoot::LocalMachine, key, name);
    }
    void deleteRegistryValue(std::u16string_view key, std::u16string_view name) override {
        if (sim::RegistryKey* found =
                machine_.registry.find(sim::RegistryRoot::LocalMachine, key)) {
            found->values.erase(sim::FoldCase(name));
            found->valueNames.erase(sim::FoldCase(name));
        }
    }

  private:
    static constexpr std::u16string_view kProgram = u"C:\\Tests\\contract.exe";

    sim::SimMachine machine_;
    sim::SimPlatform platform_{machine_, std::u16string(kProgram), u"C:\\Tests"};
    int runs_ = 0;
};

}  // namespace

ContractEnv& Env() {
    static SimContractEnv env;
    return env;
}

}  // namespace tw::contract
