// A tarnwell-sim scenario: the simulated machine to build, what to run on it
// and the outcome to expect. Read from a JSON file by LoadScenario (the schema
// lives in scenario_schema.cpp and is described in tools/tarnwell_sim/README.md),
// then turned into a machine by BuildMachine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/inf_folder.h"
#include "sim/machine.h"
#include "sim/printer_setup.h"
#include "sim/registry_model.h"
#include "sim/spooler_model.h"
#include "sim/system_programs.h"

namespace tw::tarnwell_sim {

// A scenario that cannot be run: which file, where in it (a JSON pointer such
// as "/files/2/path", or "line 4, column 7" for a syntax error) and what was
// expected there.
class ScenarioError : public std::runtime_error {
  public:
    ScenarioError(std::string file, std::string place, std::string expected);
    const std::string& file() const { return file_; }
    const std::string& place() const { return place_; }
    const std::string& expected() const { return expected_; }

  private:
    std::string file_;
    std::string place_;
    std::string expected_;
};

// A file or folder put on the machine before the run.
struct FileEntry {
    std::string place;  // where the entry stands in the scenario, for errors
    std::u16string path;
    bool folder = false;
    std::vector<std::uint8_t> bytes;
    std::uint32_t attributes = 0x20;  // FILE_ATTRIBUTE_ARCHIVE
    bool inUse = false;               // held open by another process
};

// The installation package laid out in a folder of the machine: setup.exe,
// Systems\Install.exe, the access-control tool Systems\Config.exe and the
// maker's files.
struct PackageSection {
    std::u16string root;
    // The maker's files: empty for the built-in sample set, else a folder of
    // the host, laid out like the package.
    std::filesystem::path vendorFolder;
    // Files the package lacks, relative to its root ("Systems\Config.exe").
    std::vector<std::u16string> lacks;
};

// A program of the machine that runs in the simulation only: it lasts a while,
// or for ever, ends with a code, and may record its calls.
struct ProgramEntry {
    std::u16string path;
    sim::Millis runTime = 0;
    bool endless = false;
    std::uint32_t exitCode = 0;
    // Appends its command line, as a line of UTF-8, to "<name>_calls.txt"
    // beside its program file, as the package's stand-in Config.exe does.
    bool recordsCalls = false;
};

struct RegistryEntry {
    sim::RegistryRoot root = sim::RegistryRoot::LocalMachine;
    std::u16string path;
    std::vector<std::pair<std::u16string, sim::RegistryValue>> values;
    bool deleteDenied = false;
};

// Functions a module of the machine lacks ("kernel32" without
// "IsWow64Process": an older Windows).
struct ModuleEntry {
    std::u16string module;
    std::vector<std::string> lacks;
};

// A USB printer-class device: the engraver (with or without the maker tag in
// its interface path) or another printer, as it is at the start, and what
// happens to it later.
struct UsbEvent {
    enum class Action { SwitchOff, SwitchOn, Unplug, PlugIn };
    sim::Millis at = 0;  // ms since the start
    Action action = Action::SwitchOff;
};

struct UsbEntry {
    bool engraver = true;
    bool makerTag = false;
    std::u16string serial = u"0001";  // the instance part of the interface path
    std::u16string hardware;          // another printer's "vid_xxxx&pid_xxxx"
    bool connected = true;
    bool poweredOn = true;
    std::uint32_t openError = 0;                     // opening its interface fails with this code
    std::uint8_t status = 0;                         // the engraver's status byte
    std::vector<std::vector<std::uint8_t>> replies;  // scripted status replies, in order
    std::vector<UsbEvent> events;
};

// What the first engraver must have received.
struct EngraverExpectation {
    std::optional<std::u16string> receivedFile;  // a file of the machine, byte for byte
    std::optional<std::uint64_t> receivedBytes;
    std::optional<std::vector<std::uint32_t>> writes;  // sizes offered, write by write
    std::optional<std::uint32_t> statusQueries;
};

// The print spooler: whether the service runs, its queues, the driver models
// registered with it, and files it keeps open while it runs.
struct SpoolerSection {
    bool running = true;
    std::vector<sim::PrintQueue> queues;
    std::vector<std::u16string> drivers;
    std::vector<std::u16string> heldWhileRunning;
    std::optional<std::vector<std::u16string>> ports;  // replaces the usual local ports
    sim::PrinterSetupBehaviour printerSetup;
};

// Windows' own programs the installer starts: net.exe and xcopy, present
// (as on every Windows) unless the scenario takes them away.
struct SystemProgramsSection {
    std::optional<sim::Millis> netRunTime = kNetRunTime;  // nothing: net.exe missing
    std::optional<sim::XcopyBehaviour> xcopy = sim::XcopyBehaviour{};
    static constexpr sim::Millis kNetRunTime = 250;
};

// What the user does in front of the wizard: clicks at set times, and
// reactions to what a label shows (in the language the wizard speaks), each
// done a set time after the text appears.
struct WizardClick {
    sim::Millis at = 0;        // ms since the start
    std::int32_t control = 0;  // a control id; 0 for the close box
};

struct WizardReaction {
    enum class Action { SwitchOff, SwitchOn, Connect, Unplug, PlugIn, Click, CloseBox };
    std::size_t text = 0;  // the entry of the wizard's text table the label shows
    sim::Millis after = 0;
    Action action = Action::Click;
    std::int32_t control = 0;  // for Click
};

// The user at the machine: the account name, the answer to the restart
// question, and what they do in front of the wizard.
struct UserSection {
    std::optional<std::u16string> name;
    bool agreesToRestart = false;
    sim::Millis restartAnswerTime = 0;
    // The port type the user picks (the wizard starts with USB): Other is
    // clicked at `portAt`.
    bool choosesOther = false;
    sim::Millis portAt = 500;
    std::optional<sim::Millis> nextAt = 1000;  // the first click of Next; nothing: never
    std::vector<WizardClick> clicks;
    // Nothing: the user does what the labels ask (DefaultReactions).
    std::optional<std::vector<WizardReaction>> reactions;
};

// What a user who does what the labels ask does, and how long each takes:
// switch the engraver off, connect it and switch it on, switch it on, click
// Next when asked to.
std::vector<WizardReaction> DefaultReactions();

// Which of the package's programs is started as real code. The other one
// runs as real code too when started (setup starts the wizard).
enum class RunProgram { Setup, Install };

struct RunSection {
    RunProgram program = RunProgram::Setup;
    std::u16string path;    // its program file; default from the package
    std::string arguments;  // the command-line arguments, 8-bit
    std::u16string currentDirectory = u"C:\\Users\\operator";
    std::string pathPlace = "/run";  // for "no such program" errors
};

// One line the timeline must show, in order after the previous one; with
// `at`, at that time (ms since the start).
struct TimelineExpectation {
    std::string text;
    std::optional<sim::Millis> at;
};

struct ExpectSection {
    std::optional<int> exitCode;
    std::optional<std::vector<std::u16string>> messageBoxes;  // texts, in order
    std::optional<std::vector<std::u16string>> started;       // command lines, in order
    std::vector<std::u16string> filesPresent;
    std::vector<std::u16string> filesAbsent;
    std::vector<TimelineExpectation> timeline;
    std::optional<sim::Millis> duration;  // virtual time the run takes
    std::optional<EngraverExpectation> engraver;
};

struct Scenario {
    std::string file;  // where it was read from, for messages
    std::string name;
    std::string description;
    sim::MachineConfig machine;
    std::vector<FileEntry> files;
    std::optional<PackageSection> package;
    std::vector<ProgramEntry> programs;
    std::vector<RegistryEntry> registry;
    std::vector<ModuleEntry> modules;
    std::vector<UsbEntry> usb;
    SpoolerSection spooler;
    SystemProgramsSection systemPrograms;
    std::vector<sim::InfPackage> infFolder;
    UserSection user;
    std::optional<std::u16string> tempPath;  // as GetTempPathW gives it
    std::optional<std::uint16_t> language;   // the system's default language id
    // The virtual time the run may take: a run still going then is stuck (a
    // wizard waiting for an engraver that never comes waits for ever).
    sim::Millis timeLimit = 3'600'000;
    std::vector<sim::FaultRule> faults;
    std::optional<sim::RandomFaults> randomFaults;  // the section, when given
    RunSection run;
    std::optional<ExpectSection> expect;
};

// Reads a scenario from JSON text; `file` names it in errors and is the base
// for relative host paths. Throws ScenarioError.
Scenario ParseScenario(std::string_view text, const std::string& file);
// Reads a scenario file. Throws ScenarioError.
Scenario LoadScenario(const std::filesystem::path& file);

// The scenario that runs when none is given.
std::string_view DefaultScenarioText();

// The share of calls that fail under `--faults` when nothing else is said.
inline constexpr double kDefaultRandomFaultRate = 0.02;

// The random faults of `--faults` when the scenario has no section of its
// own: the calls the programs make and the codes they fail with on Windows.
sim::RandomFaults DefaultRandomFaults(double rate);

// Puts everything the scenario describes on `machine` (made with
// scenario.machine). Throws ScenarioError for what only shows now: a package
// folder of the host that cannot be read, a program to run that is not there.
void BuildMachine(const Scenario& scenario, sim::SimMachine& machine);

}  // namespace tw::tarnwell_sim
