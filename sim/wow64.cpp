#include "sim/wow64.h"

#include "sim/sim_path.h"

namespace tw::sim {
namespace {

// Folders below the system folder that redirection leaves alone.
constexpr std::u16string_view kExempt[] = {
    u"catroot", u"catroot2", u"DriverStore", u"drivers\\etc", u"LogFiles", u"spool",
};

}  // namespace

std::u16string Wow64Redirect(std::u16string_view path, std::u16string_view native,
                             std::u16string_view wow64) {
    if (!StartsWithNoCase(path, native)) {
        return std::u16string(path);
    }
    std::u16string_view rest = path.substr(native.size());
    if (!rest.empty() && rest.front() != u'\\') {
        return std::u16string(path);  // "System32x", not below the system folder
    }
    std::u16string_view inside = rest.empty() ? rest : rest.substr(1);
    for (std::u16string_view exempt : kExempt) {
        if (StartsWithNoCase(inside, exempt) &&
            (inside.size() == exempt.size() || inside[exempt.size()] == u'\\')) {
            return std::u16string(path);
        }
    }
    return std::u16string(wow64) + std::u16string(rest);
}

}  // namespace tw::sim
