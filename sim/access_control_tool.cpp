#include "sim/access_control_tool.h"

#include <map>
#include <optional>

#include "sim/command_line.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

// What the tool was asked to do, or nothing when the command line is not one
// it accepts.
struct Grant {
    std::u16string key;   // below HKEY_LOCAL_MACHINE
    std::u16string user;  // the account name, without its domain
};

std::optional<Grant> ReadGrant(const std::vector<std::u16string>& arguments) {
    std::map<std::u16string, std::u16string> options;  // folded option -> value
    if (arguments.size() % 2 != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        options[FoldCase(arguments[i])] = arguments[i + 1];
    }
    if (options.size() != 4 || !EqualsNoCase(options[u"-OT"], u"reg") ||
        !EqualsNoCase(options[u"-ACTN"], u"ace")) {
        return std::nullopt;
    }
    const std::u16string& object = options[u"-ON"];
    constexpr std::u16string_view kRoot = u"hklm\\";
    if (!StartsWithNoCase(object, kRoot)) {
        return std::nullopt;
    }
    // "n:<domain>\<user>;p:full", the domain empty for a local account.
    const std::u16string& ace = options[u"-ACE"];
    std::size_t separator = ace.find(u';');
    if (separator == std::u16string::npos || !StartsWithNoCase(ace, u"n:") ||
        !EqualsNoCase(std::u16string_view(ace).substr(separator + 1), u"p:full")) {
        return std::nullopt;
    }
    std::u16string trustee = ace.substr(2, separator - 2);
    std::size_t domainEnd = trustee.rfind(u'\\');
    std::u16string user =
        domainEnd == std::u16string::npos ? trustee : trustee.substr(domainEnd + 1);
    if (user.empty()) {
        return std::nullopt;
    }
    return Grant{object.substr(kRoot.size()), user};
}

}  // namespace

void AddAccessControlTool(SimMachine& machine, std::u16string_view path, Millis runTime) {
    machine.processes.addProgram(path, [&machine, runTime](const ProcessLaunch& launch) {
        ProgramRun run;
        run.runTime = runTime;
        std::optional<Grant> grant = ReadGrant(SplitArguments(launch.arguments));
        if (!grant) {
            run.exitCode = 1;  // the tool's usage text; nothing changed
            return run;
        }
        run.atExit = [&machine, key = grant->key, user = grant->user]() {
            if (!machine.registry.grantFullAccess(RegistryRoot::LocalMachine, key, user)) {
                machine.trace.effect("access-control tool found no key " + Utf8(key));
            }
        };
        return run;
    });
}

}  // namespace tw::sim
