// The scenario schema: every section and key a scenario file may hold, what
// each must be, and its default. This file is the one place that knows the
// schema; tools/tarnwell_sim/README.md describes it for the people who write
// scenarios. A new model of the machine adds its section to kSections.
//
// Reading is strict: an unknown key is an error (a misspelt key would
// otherwise be ignored silently), and every error names the file, the place
// in it and what was expected there.
#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>

#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "sim/sim_path.h"
#include "tools/tarnwell_sim/sample_package.h"
#include "tools/tarnwell_sim/scenario.h"
#include "wizard/resource.h"
#include "wizard/text_table.h"

namespace tw::tarnwell_sim {
namespace {

using nlohmann::json;

// "a, b, c" for a list of names.
template <class Names>
std::string JoinNames(const Names& names) {
    std::string list;
    for (std::string_view name : names) {
        if (!list.empty()) {
            list += ", ";
        }
        list += name;
    }
    return list;
}

// A value of the scenario with its place, for reading and for errors.
class Node {
  public:
    Node(const json& value, std::string place, const std::string& file,
         const std::filesystem::path& folder)
        : value_(value), place_(std::move(place)), file_(file), folder_(folder) {}

    const std::string& place() const { return place_; }
    const json& value() const { return value_; }
    // The folder relative host paths start from: the scenario file's.
    const std::filesystem::path& folder() const { return folder_; }

    [[noreturn]] void fail(const std::string& expected) const {
        throw ScenarioError(file_, place_.empty() ? "/" : place_, expected);
    }
    // Fails with what was expected and what stands there instead.
    [[noreturn]] void wrongKind(const std::string& expected) const {
        fail(expected + ", found " + Describe(value_));
    }

    // --- Objects ---------------------------------------------------------------
    void requireObject(const std::string& what) const {
        if (!value_.is_object()) {
            wrongKind(what);
        }
    }
    // Fails on the first key not in `keys`.
    void allowOnly(std::initializer_list<std::string_view> keys) const {
        for (const auto& [key, unused] : value_.items()) {
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
                child(key).fail("no key \"" + key + "\" here; expected one of: " + JoinNames(keys));
            }
        }
    }
    bool has(std::string_view key) const { return value_.contains(key); }
    std::optional<Node> member(std::string_view key) const {
        if (!value_.contains(key)) {
            return std::nullopt;
        }
        return child(std::string(key));
    }
    Node require(std::string_view key, const std::string& what) const {
        if (!value_.contains(key)) {
            fail("the key \"" + std::string(key) + "\" (" + what + ")");
        }
        return child(std::string(key));
    }

    // --- Arrays ----------------------------------------------------------------
    std::vector<Node> items(const std::string& what) const {
        if (!value_.is_array()) {
            wrongKind(what);
        }
        std::vector<Node> out;
        for (std::size_t i = 0; i < value_.size(); ++i) {
            out.emplace_back(value_[i], place_ + "/" + std::to_string(i), file_, folder_);
        }
        return out;
    }

    // --- Scalars ---------------------------------------------------------------
    std::string text(const std::string& what) const {
        if (!value_.is_string()) {
            wrongKind(what);
        }
        return value_.get<std::string>();
    }
    std::u16string text16(const std::string& what) const { return platform::FromUtf8(text(what)); }
    // A full Windows path ("C:\...").
    std::u16string windowsPath() const {
        const std::string what = "a full Windows path such as \"C:\\\\Folder\\\\file.txt\"";
        std::u16string path = text16(what);
        if (!sim::IsAbsolutePath(path)) {
            wrongKind(what);
        }
        return path;
    }
    bool flag() const {
        if (!value_.is_boolean()) {
            wrongKind("true or false");
        }
        return value_.get<bool>();
    }
    std::uint64_t whole(const std::string& what, std::uint64_t lowest = 0,
                        std::uint64_t highest = std::numeric_limits<std::uint64_t>::max()) const {
        const std::string expected = what + " (a whole number from " + std::to_string(lowest) +
                                     " to " + std::to_string(highest) + ")";
        if (!value_.is_number_integer()) {
            wrongKind(expected);
        }
        if (value_.is_number_unsigned()) {
            auto number = value_.get<std::uint64_t>();
            if (number >= lowest && number <= highest) {
                return number;
            }
        }
        wrongKind(expected);
    }
    std::uint32_t whole32(const std::string& what, std::uint32_t lowest = 0) const {
        return static_cast<std::uint32_t>(
            whole(what, lowest, std::numeric_limits<std::uint32_t>::max()));
    }
    double fraction(const std::string& what) const {
        const std::string expected = what + " (a number from 0 to 1)";
        if (!value_.is_number()) {
            wrongKind(expected);
        }
        auto number = value_.get<double>();
        if (!(number >= 0 && number <= 1)) {
            wrongKind(expected);
        }
        return number;
    }

  private:
    Node child(const std::string& key) const {
        return Node(value_.at(key), place_ + "/" + key, file_, folder_);
    }

    static std::string Describe(const json& value) {
        switch (value.type()) {
            case json::value_t::string:
                return "the text " + value.dump();
            case json::value_t::object:
                return "an object";
            case json::value_t::array:
                return "a list";
            case json::value_t::null:
                return "null";
            default:
                return value.dump();
        }
    }

    const json& value_;
    std::string place_;
    const std::string& file_;
    const std::filesystem::path& folder_;
};

std::vector<std::uint8_t> ReadHostFile(const Node& node, const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        node.fail("a file of this computer that can be read (" + path.string() + ")");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::u16string> ReadTexts(const Node& node, const std::string& what);
std::vector<std::u16string> ReadPaths(const Node& node);

// The sample kelvra.inf (package/sample/) as UTF-8 text.
std::string SampleInfText() {
    for (const EmbeddedFile& file : SamplePackageFiles()) {
        if (file.name == "kelvra.inf") {
            return platform::ToUtf8(sim::DecodeInfText(file.bytes));
        }
    }
    return {};
}

// --- Sections ------------------------------------------------------------------

void ReadName(const Node& node, Scenario& scenario) {
    scenario.name = node.text("the scenario's name");
}

void ReadDescription(const Node& node, Scenario& scenario) {
    scenario.description = node.text("a description of the scenario");
}

void ReadMachine(const Node& node, Scenario& scenario) {
    node.requireObject("the machine's settings (an object)");
    node.allowOnly({"clockStart", "windows64", "seed", "tempPath", "language", "timeLimit"});
    if (auto start = node.member("clockStart")) {
        scenario.machine.startTime = start->whole("the clock at the start, in ms");
    }
    if (auto windows64 = node.member("windows64")) {
        scenario.machine.windows64 = windows64->flag();
    }
    if (auto seed = node.member("seed")) {
        scenario.machine.seed = seed->whole("the seed of the random source");
    }
    if (auto temp = node.member("tempPath")) {
        std::u16string path = temp->windowsPath();
        if (path.back() != u'\\') {
            temp->wrongKind("the temporary-files folder ending in a backslash");
        }
        scenario.tempPath = path;
    }
    if (auto limit = node.member("timeLimit")) {
        scenario.timeLimit = limit->whole("the virtual time the run may take, in ms", 1);
    }
    if (auto language = node.member("language")) {
        scenario.language = static_cast<std::uint16_t>(language->whole(
            "the system's default language id (1033 English, 1036 French)", 1, 0xFFFF));
    }
}

std::uint32_t ReadAttributes(const Node& node) {
    static constexpr std::array<std::pair<std::string_view, std::uint32_t>, 5> kNames{{
        {"readonly", 0x1},
        {"hidden", 0x2},
        {"system", 0x4},
        {"archive", 0x20},
        {"normal", 0x80},
    }};
    const std::string what =
        "a list of attribute names (readonly, hidden, system, archive, normal)";
    if (node.value().is_number()) {
        return node.whole32("the attribute bits");
    }
    std::uint32_t bits = 0;
    for (const Node& item : node.items(what)) {
        std::string name = item.text(what);
        auto known = std::find_if(kNames.begin(), kNames.end(),
                                  [&](const auto& entry) { return entry.first == name; });
        if (known == kNames.end()) {
            item.wrongKind("one of readonly, hidden, system, archive, normal");
        }
        bits |= known->second;
    }
    return bits;
}

FileEntry ReadFileEntry(const Node& node) {
    node.requireObject("a file or folder (an object with a \"path\")");
    node.allowOnly({"path", "folder", "text", "utf16", "size", "from", "attributes", "inUse"});
    FileEntry entry;
    entry.place = node.place();
    entry.path = node.require("path", "the file's full Windows path").windowsPath();
    int contents = 0;
    for (std::string_view key : {"text", "utf16", "size", "from"}) {
        contents += node.has(key) ? 1 : 0;
    }
    if (contents > 1) {
        node.fail("at most one of \"text\", \"utf16\", \"size\" and \"from\" for the content");
    }
    if (auto folder = node.member("folder"); folder && folder->flag()) {
        if (contents > 0 || node.has("inUse")) {
            node.fail("a folder without content or \"inUse\"");
        }
        entry.folder = true;
    }
    if (auto text = node.member("text")) {
        std::string bytes = text->text("the file's text (stored as UTF-8)");
        entry.bytes.assign(bytes.begin(), bytes.end());
    } else if (auto utf16 = node.member("utf16")) {
        std::u16string wide = utf16->text16("the file's text (stored as UTF-16 with a BOM)");
        entry.bytes = {0xFF, 0xFE};
        for (char16_t unit : wide) {
            entry.bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            entry.bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
    } else if (auto size = node.member("size")) {
        std::uint64_t count = size->whole("the file's size in bytes", 0, 64ULL << 20);
        entry.bytes.resize(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            entry.bytes[i] = static_cast<std::uint8_t>(i);
        }
    } else if (auto from = node.member("from")) {
        std::filesystem::path host = node.folder() / from->text("a file of this computer");
        entry.bytes = ReadHostFile(*from, host);
    }
    if (auto attributes = node.member("attributes")) {
        entry.attributes = ReadAttributes(*attributes);
    }
    if (auto inUse = node.member("inUse")) {
        entry.inUse = inUse->flag();
    }
    return entry;
}

void ReadFiles(const Node& node, Scenario& scenario) {
    for (const Node& item : node.items("a list of files and folders")) {
        scenario.files.push_back(ReadFileEntry(item));
    }
}

void ReadPackage(const Node& node, Scenario& scenario) {
    node.requireObject("the package's place (an object with a \"root\")");
    node.allowOnly({"root", "vendorFiles", "lacks"});
    PackageSection package;
    package.root = node.require("root", "the package folder's full Windows path").windowsPath();
    if (auto vendor = node.member("vendorFiles")) {
        std::string folder =
            vendor->text("\"sample\", or a folder of this computer holding the maker's files");
        if (folder != "sample") {
            package.vendorFolder = node.folder() / folder;
            if (!std::filesystem::is_directory(package.vendorFolder)) {
                vendor->fail(
                    "\"sample\", or a folder of this computer holding the maker's files (" +
                    package.vendorFolder.string() + " is none)");
            }
        }
    }
    if (auto lacks = node.member("lacks")) {
        const std::string what =
            "a file name relative to the package root, such as "
            "\"Systems\\\\Config.exe\"";
        for (const Node& item : lacks->items("a list of files the package lacks")) {
            std::u16string name = item.text16(what);
            if (name.empty() || sim::IsAbsolutePath(name)) {
                item.wrongKind(what);
            }
            package.lacks.push_back(name);
        }
    }
    scenario.package = package;
}

void ReadPrograms(const Node& node, Scenario& scenario) {
    for (const Node& item : node.items("a list of programs")) {
        item.requireObject("a program (an object with a \"path\")");
        item.allowOnly({"path", "runTime", "endless", "exitCode", "recordsCalls"});
        ProgramEntry program;
        program.path = item.require("path", "the program file's full Windows path").windowsPath();
        if (auto runTime = item.member("runTime")) {
            program.runTime = runTime->whole("how long it runs, in ms");
        }
        if (auto endless = item.member("endless")) {
            program.endless = endless->flag();
            if (program.endless && item.has("runTime")) {
                item.fail("either \"runTime\" or \"endless\": an endless program has no run time");
            }
        }
        if (auto exitCode = item.member("exitCode")) {
            program.exitCode = exitCode->whole32("its exit code");
        }
        if (auto records = item.member("recordsCalls")) {
            program.recordsCalls = records->flag();
        }
        scenario.programs.push_back(program);
    }
}

void ReadRegistry(const Node& node, Scenario& scenario) {
    static constexpr std::array<std::pair<std::string_view, sim::RegistryRoot>, 4> kRoots{{
        {"HKLM\\", sim::RegistryRoot::LocalMachine},
        {"HKEY_LOCAL_MACHINE\\", sim::RegistryRoot::LocalMachine},
        {"HKCU\\", sim::RegistryRoot::CurrentUser},
        {"HKEY_CURRENT_USER\\", sim::RegistryRoot::CurrentUser},
    }};
    for (const Node& item : node.items("a list of registry keys")) {
        item.requireObject("a registry key (an object with a \"key\")");
        item.allowOnly({"key", "values", "deleteDenied"});
        RegistryEntry entry;
        Node key = item.require("key", "the key's path, starting with HKLM\\ or HKCU\\");
        std::string path = key.text("a key path starting with HKLM\\ or HKCU\\");
        auto root = std::find_if(kRoots.begin(), kRoots.end(), [&](const auto& candidate) {
            return path.size() > candidate.first.size() &&
                   path.compare(0, candidate.first.size(), candidate.first) == 0;
        });
        if (root == kRoots.end()) {
            key.wrongKind("a key path starting with HKLM\\ or HKCU\\");
        }
        entry.root = root->second;
        entry.path = platform::FromUtf8(path.substr(root->first.size()));
        if (auto values = item.member("values")) {
            values->requireObject("the key's values (an object of name: value)");
            for (const auto& [name, unused] : values->value().items()) {
                Node value = *values->member(name);
                sim::RegistryValue stored;
                if (value.value().is_string()) {
                    // REG_SZ: UTF-16 with its terminator.
                    stored.type = 1;
                    for (char16_t unit : value.text16("text")) {
                        stored.data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
                        stored.data.push_back(static_cast<std::uint8_t>(unit >> 8));
                    }
                    stored.data.insert(stored.data.end(), {0, 0});
                } else {
                    // REG_DWORD, little-endian.
                    std::uint32_t number =
                        value.whole32("a text (REG_SZ) or a whole number (REG_DWORD)");
                    stored.type = 4;
                    for (int shift = 0; shift < 32; shift += 8) {
                        stored.data.push_back(static_cast<std::uint8_t>(number >> shift));
                    }
                }
                entry.values.emplace_back(platform::FromUtf8(name), stored);
            }
        }
        if (auto denied = item.member("deleteDenied")) {
            entry.deleteDenied = denied->flag();
        }
        scenario.registry.push_back(entry);
    }
}

void ReadModules(const Node& node, Scenario& scenario) {
    for (const Node& item : node.items("a list of modules")) {
        item.requireObject("a module (an object with \"module\" and \"lacks\")");
        item.allowOnly({"module", "lacks"});
        ModuleEntry entry;
        entry.module = item.require("module", "the module's name, such as \"kernel32\"")
                           .text16("the module's name, such as \"kernel32\"");
        for (const Node& function :
             item.require("lacks", "the functions it lacks").items("a list of function names")) {
            entry.lacks.push_back(function.text("a function name"));
        }
        scenario.modules.push_back(entry);
    }
}

std::vector<std::uint8_t> ReadBytes(const Node& node) {
    const std::string what = "bytes in hexadecimal, such as \"21 42 45 20 34 3B 00 00 00 05\"";
    std::string text = node.text(what);
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
            node.wrongKind(what);
        }
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

void ReadUsb(const Node& node, Scenario& scenario) {
    static constexpr std::array<std::pair<std::string_view, UsbEvent::Action>, 4> kActions{{
        {"switchOff", UsbEvent::Action::SwitchOff},
        {"switchOn", UsbEvent::Action::SwitchOn},
        {"unplug", UsbEvent::Action::Unplug},
        {"plugIn", UsbEvent::Action::PlugIn},
    }};
    for (const Node& item : node.items("a list of USB printer devices")) {
        item.requireObject("a USB printer device (an object)");
        item.allowOnly({"engraver", "makerTag", "serial", "hardware", "connected", "poweredOn",
                        "openError", "status", "replies", "events"});
        UsbEntry entry;
        if (auto engraver = item.member("engraver")) {
            entry.engraver = engraver->flag();
        }
        if (entry.engraver) {
            if (item.has("hardware")) {
                item.fail("no \"hardware\" for the engraver (its is vid_fffd&pid_0001)");
            }
        } else {
            entry.hardware = item.require("hardware", "another printer's \"vid_xxxx&pid_xxxx\"")
                                 .text16("another printer's \"vid_xxxx&pid_xxxx\"");
            for (std::string_view key : {"makerTag", "status", "replies"}) {
                if (item.has(key)) {
                    item.fail("no \"" + std::string(key) +
                              "\" for a printer that is not the engraver");
                }
            }
        }
        if (auto tag = item.member("makerTag")) {
            entry.makerTag = tag->flag();
        }
        if (auto serial = item.member("serial")) {
            entry.serial = serial->text16("the instance part of its interface path");
        }
        if (auto connected = item.member("connected")) {
            entry.connected = connected->flag();
        }
        if (auto on = item.member("poweredOn")) {
            entry.poweredOn = on->flag();
        }
        if (auto openError = item.member("openError")) {
            entry.openError = openError->whole32("the code opening its interface fails with");
        }
        if (auto status = item.member("status")) {
            entry.status = static_cast<std::uint8_t>(status->whole("its status byte", 0, 255));
        }
        if (auto replies = item.member("replies")) {
            for (const Node& reply : replies->items("a list of status replies")) {
                entry.replies.push_back(ReadBytes(reply));
            }
        }
        if (auto events = item.member("events")) {
            const std::string what = "one of switchOff, switchOn, unplug, plugIn";
            for (const Node& event : events->items("a list of events")) {
                event.requireObject("an event (an object with \"at\" and \"action\")");
                event.allowOnly({"at", "action"});
                UsbEvent usbEvent;
                usbEvent.at = event.require("at", "its time, in ms since the start")
                                  .whole("its time, in ms since the start");
                Node action = event.require("action", what);
                std::string name = action.text(what);
                auto known =
                    std::find_if(kActions.begin(), kActions.end(),
                                 [&](const auto& candidate) { return candidate.first == name; });
                if (known == kActions.end()) {
                    action.wrongKind(what);
                }
                usbEvent.action = known->second;
                entry.events.push_back(usbEvent);
            }
        }
        scenario.usb.push_back(entry);
    }
}

void ReadSpooler(const Node& node, Scenario& scenario) {
    node.requireObject("the print spooler (an object)");
    node.allowOnly({"running", "queues", "drivers", "heldWhileRunning", "ports", "printerSetup"});
    SpoolerSection& spooler = scenario.spooler;
    if (auto running = node.member("running")) {
        spooler.running = running->flag();
    }
    if (auto queues = node.member("queues")) {
        for (const Node& item : queues->items("a list of print queues")) {
            item.requireObject("a print queue (an object with a \"name\")");
            item.allowOnly({"name", "driver", "port", "jobs", "jobsLeaveAfterPurge"});
            sim::PrintQueue queue;
            queue.name = item.require("name", "the queue's name").text16("the queue's name");
            if (auto driver = item.member("driver")) {
                queue.driverName = driver->text16("the queue's driver model");
            }
            if (auto port = item.member("port")) {
                queue.portName = port->text16("the queue's port");
            }
            if (auto jobs = item.member("jobs")) {
                queue.jobs = jobs->whole32("the jobs waiting in it");
            }
            if (auto leave = item.member("jobsLeaveAfterPurge")) {
                // null: the jobs never leave.
                queue.jobsLeaveAfterPurge = leave->value().is_null()
                                                ? std::nullopt
                                                : std::optional<sim::Millis>(leave->whole(
                                                      "ms after a purge, or null for never"));
            }
            spooler.queues.push_back(queue);
        }
    }
    if (auto drivers = node.member("drivers")) {
        spooler.drivers = ReadTexts(*drivers, "driver model names");
    }
    if (auto held = node.member("heldWhileRunning")) {
        spooler.heldWhileRunning = ReadPaths(*held);
    }
    if (auto ports = node.member("ports")) {
        spooler.ports = ReadTexts(*ports, "port names, in the order they are listed");
    }
    if (auto setup = node.member("printerSetup")) {
        setup->requireObject("the printer set-up entry point's behaviour (an object)");
        setup->allowOnly({"installRunTime", "installsNothing", "propertiesReadyAfter"});
        sim::PrinterSetupBehaviour& behaviour = spooler.printerSetup;
        if (auto runTime = setup->member("installRunTime")) {
            behaviour.installRunTime = runTime->whole("how long an install command runs, in ms");
        }
        if (auto nothing = setup->member("installsNothing")) {
            behaviour.installsNothing = nothing->flag();
        }
        if (auto ready = setup->member("propertiesReadyAfter")) {
            behaviour.propertiesReadyAfter =
                ready->whole("when the properties window waits for input, in ms");
        }
    }
}

void ReadSystemPrograms(const Node& node, Scenario& scenario) {
    node.requireObject("Windows' own programs (an object)");
    node.allowOnly({"net", "xcopy"});
    SystemProgramsSection& programs = scenario.systemPrograms;
    const std::string what = "false (missing) or an object";
    if (auto net = node.member("net")) {
        if (net->value().is_boolean() && !net->flag()) {
            programs.netRunTime.reset();
        } else {
            net->requireObject(what + " with \"runTime\"");
            net->allowOnly({"runTime"});
            if (auto runTime = net->member("runTime")) {
                programs.netRunTime = runTime->whole("how long a spooler command runs, in ms");
            }
        }
    }
    if (auto xcopy = node.member("xcopy")) {
        if (xcopy->value().is_boolean() && !xcopy->flag()) {
            programs.xcopy.reset();
        } else {
            xcopy->requireObject(what + " with \"runTime\" and \"failsWith\"");
            xcopy->allowOnly({"runTime", "failsWith"});
            if (auto runTime = xcopy->member("runTime")) {
                programs.xcopy->runTime = runTime->whole("how long the copy runs, in ms");
            }
            if (auto fails = xcopy->member("failsWith")) {
                programs.xcopy->failsWith = fails->whole32("the exit code of a failed copy");
            }
        }
    }
}

void ReadInfFolder(const Node& node, Scenario& scenario) {
    for (const Node& item : node.items("a list of driver packages in the INF folder")) {
        item.requireObject("a driver package (an object with \"name\" and \"text\")");
        item.allowOnly({"name", "text", "sample", "encoding", "precompiled", "readonly"});
        sim::InfPackage package;
        package.name = item.require("name", "its file name, such as \"oem3.inf\"")
                           .text16("its file name, such as \"oem3.inf\"");
        bool sample = false;
        if (auto flag = item.member("sample")) {
            sample = flag->flag();
        }
        if (sample == item.has("text")) {
            item.fail(
                "either \"text\" (the INF's text) or \"sample\": true (the sample kelvra.inf)");
        }
        package.text = sample ? SampleInfText() : item.member("text")->text("the INF's text");
        if (auto encoding = item.member("encoding")) {
            std::string name = encoding->text("\"utf16\" or \"ansi\"");
            if (name != "utf16" && name != "ansi") {
                encoding->wrongKind("\"utf16\" or \"ansi\"");
            }
            package.encoding = name == "utf16" ? sim::InfEncoding::Utf16 : sim::InfEncoding::Ansi;
        }
        if (auto precompiled = item.member("precompiled")) {
            package.precompiled = precompiled->flag();
        }
        if (auto readonly = item.member("readonly"); readonly && readonly->flag()) {
            package.attributes |= 0x1;
        }
        scenario.infFolder.push_back(package);
    }
}

// A name out of a table of names, or an error listing them.
template <class Value, std::size_t N>
Value Choice(const Node& node, const std::array<std::pair<std::string_view, Value>, N>& names,
             const std::string& what) {
    if (node.value().is_string()) {
        std::string name = node.value().get<std::string>();
        for (const auto& [known, value] : names) {
            if (name == known) {
                return value;
            }
        }
    }
    std::array<std::string_view, N> listed;
    for (std::size_t i = 0; i < N; ++i) {
        listed[i] = names[i].first;
    }
    node.wrongKind(what + " (" + JoinNames(listed) + ")");
}

// The wizard's controls a user clicks, by name.
constexpr std::array<std::pair<std::string_view, std::int32_t>, 5> kControls{{
    {"next", IDC_NEXT},
    {"cancel", win::kIdCancel},
    {"usb", IDC_USB},
    {"other", IDC_OTHER},
    {"closeBox", 0},
}};

// The label texts a user reacts to, by name.
constexpr std::array<std::pair<std::string_view, std::size_t>, 7> kLabelTexts{{
    {"switchOff", wizard::TextSwitchOff},
    {"connect", wizard::TextConnect},
    {"switchOn", wizard::TextSwitchOn},
    {"clickNext", wizard::TextClickNext},
    {"deleting", wizard::TextDeleting},
    {"driverInstallation", wizard::TextDriverInstallation},
    {"firmwareUpdate", wizard::TextFirmwareUpdate},
}};

using ReactionAction = WizardReaction::Action;
constexpr std::array<std::pair<std::string_view, ReactionAction>, 6> kEngraverActions{{
    {"switchOff", ReactionAction::SwitchOff},
    {"switchOn", ReactionAction::SwitchOn},
    {"connect", ReactionAction::Connect},
    {"unplug", ReactionAction::Unplug},
    {"plugIn", ReactionAction::PlugIn},
    {"closeBox", ReactionAction::CloseBox},
}};

WizardReaction ReadReaction(const Node& item) {
    item.requireObject("a reaction (an object with \"when\", \"after\" and \"do\")");
    item.allowOnly({"when", "after", "do"});
    WizardReaction reaction;
    reaction.text =
        Choice(item.require("when", "the label text reacted to"), kLabelTexts, "a label text");
    if (auto after = item.member("after")) {
        reaction.after = after->whole("how long after the text shows, in ms");
    }
    const Node action = item.require("do", "what the user does");
    std::string name = action.value().is_string() ? action.value().get<std::string>() : "";
    const std::string expected =
        "an action on the engraver (switchOff, switchOn, connect, unplug, plugIn), "
        "\"click \" and a control (next, cancel, usb, other), or closeBox";
    if (name.rfind("click ", 0) == 0) {
        auto control = std::find_if(kControls.begin(), kControls.end(), [&](const auto& entry) {
            return entry.first == name.substr(6);
        });
        if (control == kControls.end() || control->second == 0) {
            action.wrongKind(expected);
        }
        reaction.action = ReactionAction::Click;
        reaction.control = control->second;
    } else {
        reaction.action = Choice(action, kEngraverActions, expected);
    }
    return reaction;
}

void ReadUser(const Node& node, Scenario& scenario) {
    node.requireObject("the user (an object)");
    node.allowOnly({"name", "restartAnswer", "restartAnswerTime", "port", "portAt", "nextAt",
                    "clicks", "reactions"});
    UserSection& user = scenario.user;
    if (auto name = node.member("name")) {
        user.name = name->text16("the user's account name");
    }
    if (auto answer = node.member("restartAnswer")) {
        std::string text = answer->text("\"yes\" or \"no\"");
        if (text != "yes" && text != "no") {
            answer->wrongKind("\"yes\" or \"no\"");
        }
        user.agreesToRestart = text == "yes";
    }
    if (auto time = node.member("restartAnswerTime")) {
        user.restartAnswerTime = time->whole("how long the user takes to answer, in ms");
    }
    if (auto port = node.member("port")) {
        static constexpr std::array<std::pair<std::string_view, bool>, 2> kPorts{{
            {"usb", false},
            {"other", true},
        }};
        user.choosesOther = Choice(*port, kPorts, "the port type the user picks");
    }
    if (auto at = node.member("portAt")) {
        user.portAt = at->whole("when the user picks the port type, in ms since the start");
    }
    if (auto next = node.member("nextAt")) {
        if (next->value().is_null()) {
            user.nextAt.reset();
        } else {
            user.nextAt = next->whole("when the user first clicks Next, in ms since the start");
        }
    }
    if (auto clicks = node.member("clicks")) {
        for (const Node& item : clicks->items("a list of clicks")) {
            item.requireObject("a click (an object with \"at\" and \"control\")");
            item.allowOnly({"at", "control"});
            WizardClick click;
            click.at = item.require("at", "when, in ms since the start")
                           .whole("when, in ms since the start");
            click.control = Choice(item.require("control", "the control clicked"), kControls,
                                   "a control of the wizard");
            user.clicks.push_back(click);
        }
    }
    if (auto reactions = node.member("reactions")) {
        user.reactions.emplace();
        for (const Node& item : reactions->items("a list of reactions to label texts")) {
            user.reactions->push_back(ReadReaction(item));
        }
    }
}

void ReadFaults(const Node& node, Scenario& scenario) {
    for (const Node& item : node.items("a list of planned faults")) {
        item.requireObject("a planned fault (an object with \"function\" and \"error\")");
        item.allowOnly({"function", "argumentContains", "nthCall", "error", "persistent"});
        sim::FaultRule rule;
        rule.function = item.require("function", "the system function that fails")
                            .text("a system function's name, such as \"DeleteFileW\"");
        if (auto argument = item.member("argumentContains")) {
            rule.argumentContains = argument->text16("a text the call's argument holds");
        }
        if (auto nth = item.member("nthCall")) {
            rule.nthCall = nth->whole32("which matching call fails first", 1);
        }
        rule.error = item.require("error", "the error code the call fails with")
                         .whole32("the error code the call fails with");
        if (auto persistent = item.member("persistent")) {
            rule.persistent = persistent->flag();
        }
        scenario.faults.push_back(rule);
    }
}

void ReadRandomFaults(const Node& node, Scenario& scenario) {
    node.requireObject("the random faults (an object with \"rate\" and \"functions\")");
    node.allowOnly({"rate", "functions"});
    double rate = kDefaultRandomFaultRate;
    if (auto given = node.member("rate")) {
        rate = given->fraction("the share of calls that fail");
    }
    sim::RandomFaults faults = DefaultRandomFaults(rate);
    if (auto functions = node.member("functions")) {
        functions->requireObject("the functions that may fail, each with its error codes");
        faults.errors.clear();
        for (const auto& [name, unused] : functions->value().items()) {
            std::vector<std::uint32_t>& codes = faults.errors[name];
            Node list = *functions->member(name);
            for (const Node& code : list.items("a list of error codes")) {
                codes.push_back(code.whole32("an error code"));
            }
            if (codes.empty()) {
                list.fail("at least one error code");
            }
        }
    }
    scenario.randomFaults = faults;
}

void ReadRun(const Node& node, Scenario& scenario) {
    node.requireObject("what to run (an object)");
    node.allowOnly({"program", "path", "arguments", "currentDirectory"});
    RunSection& run = scenario.run;
    if (auto program = node.member("program")) {
        static constexpr std::array<std::pair<std::string_view, RunProgram>, 2> kPrograms{{
            {"setup", RunProgram::Setup},
            {"install", RunProgram::Install},
        }};
        run.program = Choice(*program, kPrograms, "the program started");
    }
    if (auto path = node.member("path")) {
        run.path = path->windowsPath();
        run.pathPlace = path->place();
    }
    if (auto arguments = node.member("arguments")) {
        // The launcher receives 8-bit text: each character stands for one byte.
        std::u16string wide = arguments->text16("the program's arguments");
        for (char16_t unit : wide) {
            if (unit > 0xFF) {
                arguments->fail("arguments of 8-bit characters (U+0000 to U+00FF)");
            }
            run.arguments.push_back(static_cast<char>(unit));
        }
    }
    if (auto current = node.member("currentDirectory")) {
        run.currentDirectory = current->windowsPath();
    }
}

std::vector<std::u16string> ReadTexts(const Node& node, const std::string& what) {
    std::vector<std::u16string> out;
    for (const Node& item : node.items("a list of " + what)) {
        out.push_back(item.text16(what));
    }
    return out;
}

std::vector<std::u16string> ReadPaths(const Node& node) {
    std::vector<std::u16string> out;
    for (const Node& item : node.items("a list of full Windows paths")) {
        out.push_back(item.windowsPath());
    }
    return out;
}

void ReadExpect(const Node& node, Scenario& scenario) {
    node.requireObject("the expected outcome (an object)");
    node.allowOnly({"exitCode", "messageBoxes", "started", "filesPresent", "filesAbsent",
                    "timeline", "duration", "engraver"});
    ExpectSection expect;
    if (auto exitCode = node.member("exitCode")) {
        expect.exitCode = static_cast<int>(exitCode->whole("the exit code", 0, 255));
    }
    if (auto boxes = node.member("messageBoxes")) {
        expect.messageBoxes = ReadTexts(*boxes, "message box texts");
    }
    if (auto started = node.member("started")) {
        expect.started = ReadTexts(*started, "command lines");
    }
    if (auto present = node.member("filesPresent")) {
        expect.filesPresent = ReadPaths(*present);
    }
    if (auto absent = node.member("filesAbsent")) {
        expect.filesAbsent = ReadPaths(*absent);
    }
    if (auto timeline = node.member("timeline")) {
        const std::string what = "a timeline text, or an object with \"text\" and \"at\"";
        for (const Node& item : timeline->items("a list of timeline lines")) {
            TimelineExpectation line;
            if (item.value().is_object()) {
                item.allowOnly({"text", "at"});
                line.text = item.require("text", "a text of the line").text("a text of the line");
                if (auto at = item.member("at")) {
                    line.at = at->whole("its time, in ms since the start");
                }
            } else {
                line.text = item.text(what);
            }
            expect.timeline.push_back(line);
        }
    }
    if (auto duration = node.member("duration")) {
        expect.duration = duration->whole("the run's length in virtual time, in ms");
    }
    if (auto engraver = node.member("engraver")) {
        engraver->requireObject("what the engraver received (an object)");
        engraver->allowOnly({"receivedFile", "receivedBytes", "writes", "statusQueries"});
        EngraverExpectation received;
        if (auto file = engraver->member("receivedFile")) {
            received.receivedFile = file->windowsPath();
        }
        if (auto bytes = engraver->member("receivedBytes")) {
            received.receivedBytes = bytes->whole("the number of bytes");
        }
        if (auto writes = engraver->member("writes")) {
            received.writes.emplace();
            for (const Node& size : writes->items("a list of write sizes")) {
                received.writes->push_back(size.whole32("the bytes of one write"));
            }
        }
        if (auto queries = engraver->member("statusQueries")) {
            received.statusQueries = queries->whole32("the number of status queries");
        }
        expect.engraver = received;
    }
    scenario.expect = expect;
}

struct Section {
    std::string_view key;
    void (*read)(const Node&, Scenario&);
};

// The top-level sections, in the order they are read and applied.
constexpr std::array<Section, 17> kSections{{
    {"name", ReadName},
    {"description", ReadDescription},
    {"machine", ReadMachine},
    {"files", ReadFiles},
    {"package", ReadPackage},
    {"programs", ReadPrograms},
    {"registry", ReadRegistry},
    {"modules", ReadModules},
    {"usb", ReadUsb},
    {"spooler", ReadSpooler},
    {"systemPrograms", ReadSystemPrograms},
    {"infFolder", ReadInfFolder},
    {"user", ReadUser},
    {"faults", ReadFaults},
    {"randomFaults", ReadRandomFaults},
    {"run", ReadRun},
    {"expect", ReadExpect},
}};

// "line 3, column 5" and the reason, out of the parser's message.
std::pair<std::string, std::string> SyntaxErrorPlace(const json::parse_error& error,
                                                     std::string_view text) {
    std::size_t line = 1;
    std::size_t column = 0;
    std::size_t end = std::min<std::size_t>(error.byte, text.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 0;
        } else {
            ++column;
        }
    }
    std::string reason = error.what();
    std::size_t columnAt = reason.find("column ");
    std::size_t colon = reason.find(": ", columnAt == std::string::npos ? 0 : columnAt);
    if (colon != std::string::npos) {
        reason = reason.substr(colon + 2);
    }
    return {"line " + std::to_string(line) + ", column " + std::to_string(column),
            "valid JSON (" + reason + ")"};
}

}  // namespace

ScenarioError::ScenarioError(std::string file, std::string place, std::string expected)
    : std::runtime_error(file + ": " + place + ": expected " + expected),
      file_(std::move(file)),
      place_(std::move(place)),
      expected_(std::move(expected)) {}

Scenario ParseScenario(std::string_view text, const std::string& file) {
    json document;
    try {
        // Comments (// and /* */) are allowed, so that scenarios can explain themselves.
        document = json::parse(text, nullptr, true, true);
    } catch (const json::parse_error& error) {
        auto [place, expected] = SyntaxErrorPlace(error, text);
        throw ScenarioError(file, place, expected);
    }
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    Node root(document, "", file, folder);
    root.requireObject("a scenario (a JSON object)");
    std::vector<std::string_view> keys(kSections.size());
    std::transform(kSections.begin(), kSections.end(), keys.begin(),
                   [](const Section& section) { return section.key; });
    for (const auto& [key, unused] : document.items()) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            throw ScenarioError(file, "/" + key,
                                "a section of a scenario; there is no \"" + key +
                                    "\", the sections are: " + JoinNames(keys));
        }
    }

    Scenario scenario;
    scenario.file = file;
    for (const Section& section : kSections) {
        if (auto node = root.member(section.key)) {
            section.read(*node, scenario);
        }
    }
    if (scenario.run.path.empty()) {
        if (!scenario.package) {
            throw ScenarioError(file, "/run",
                                "\"path\" (the program to run), or a \"package\" section whose "
                                "program runs");
        }
        scenario.run.path = sim::JoinPath(
            sim::NormalizePath(scenario.package->root),
            scenario.run.program == RunProgram::Setup ? u"setup.exe" : u"Systems\\Install.exe");
    }
    return scenario;
}

Scenario LoadScenario(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ScenarioError(file.string(), "the file", "a scenario file that can be read");
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ParseScenario(text, file.string());
}

sim::RandomFaults DefaultRandomFaults(double rate) {
    sim::RandomFaults faults;
    faults.rate = rate;
    faults.errors = {
        {"CreateProcessW", {2, 5}},        // file not found, access denied
        {"CreateFileW", {5, 32}},          // access denied, sharing violation
        {"DeleteFileW", {5, 32}},          //
        {"SetFileAttributesW", {5}},       //
        {"CreateDirectoryW", {5}},         //
        {"ReadFile", {23}},                // data error (cyclic redundancy check)
        {"WriteFile", {31, 1167}},         // device not functioning, not connected
        {"SetCurrentDirectoryW", {2, 3}},  // file or path not found
        {"RegOpenKeyExW", {5}},            //
        {"RegSetValueExW", {5}},           //
        {"SHDeleteKeyW", {5}},             //
    };
    return faults;
}

}  // namespace tw::tarnwell_sim
