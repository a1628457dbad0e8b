#include "sim/ports.h"

#include "sim/sim_path.h"

namespace tw::sim {

bool LocalPorts::has(std::u16string_view name) const {
    for (const std::u16string& port : names) {
        if (EqualsNoCase(port, name)) {
            return true;
        }
    }
    return false;
}

}  // namespace tw::sim
