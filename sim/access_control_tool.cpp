#include "sim/access_control_tool.h"

#include <map>
#include <optional>

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

std::vector<std::u16string> SplitArguments(std::u16string_view text) {
    std::vector<std::u16string> arguments;
    std::u16string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char16_t unit = text[at];
        if ((unit == u' ' || unit == u'\t') && !quoted) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            continue;
        }
        inArgument = true;
        if (unit == u'\\') {
            std::size_t run = 0;
            while (at < text.size() && text[at] == u'\\') {
                ++run;
                ++at;
            }
            bool beforeQuote = at < text.size() && text[at] == u'"';
            current.append(beforeQuote ? run / 2 : run, u'\\');
            if (beforeQuote && run % 2 == 1) {
                current.push_back(u'"');  // an escaped quote
            } else {
                --at;  // the quote (or other character) is read next
            }
            continue;
        }
        if (unit == u'"') {
            quoted = !quoted;
            continue;
        }
        current.push_back(unit);
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

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
