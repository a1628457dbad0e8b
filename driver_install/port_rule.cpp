#include "driver_install/port_rule.h"

#include <string_view>

namespace tw::driver_install {
namespace {

char16_t FoldAsciiLetter(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

// Whether `name` begins with `prefix`, letter case of A to Z ignored. A name
// shorter than the prefix does not.
bool BeginsWith(std::u16string_view name, std::u16string_view prefix) {
    if (name.size() < prefix.size()) {
        return false;
    }
    for (std::size_t at = 0; at < prefix.size(); ++at) {
        if (FoldAsciiLetter(name[at]) != FoldAsciiLetter(prefix[at])) {
            return false;
        }
    }
    return true;
}

bool Qualifies(std::u16string_view name) {
    return name.find(u'"') == std::u16string_view::npos;
}

}  // namespace

std::optional<std::size_t> ChoosePort(std::span<const platform::PortInfo1> ports) {
    for (std::size_t at = 0; at < ports.size(); ++at) {
        if (BeginsWith(ports[at].name, u"LPT1:") && Qualifies(ports[at].name)) {
            return at;
        }
    }
    for (std::size_t at = ports.size(); at > 0; --at) {
        const std::u16string& name = ports[at - 1].name;
        if (!BeginsWith(name, u"USB") && Qualifies(name)) {
            return at - 1;
        }
    }
    return std::nullopt;
}

}  // namespace tw::driver_install
