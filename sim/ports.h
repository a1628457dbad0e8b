// The local ports of the simulated machine's print system, in the order the
// port enumeration lists them. A new machine has the ports of a fresh
// Windows installation; a scenario replaces the list to set its own ports and
// their order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw::sim {

struct LocalPorts {
    std::vector<std::u16string> names{u"COM1:", u"COM2:", u"COM3:", u"COM4:",
                                      u"FILE:", u"LPT1:", u"LPT2:", u"LPT3:"};

    // Whether a port of that name exists (letter case ignored, as the
    // spooler compares port names).
    bool has(std::u16string_view name) const;
};

}  // namespace tw::sim
