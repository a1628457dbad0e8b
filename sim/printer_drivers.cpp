#include "sim/printer_drivers.h"

#include <algorithm>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

void PrinterDrivers::add(std::u16string_view name) {
    if (!has(name)) {
        names_.emplace_back(name);
    }
}

bool PrinterDrivers::has(std::u16string_view name) const {
    return std::any_of(names_.begin(), names_.end(),
                       [&](const std::u16string& known) { return EqualsNoCase(known, name); });
}

std::uint32_t PrinterDrivers::remove(std::u16string_view name) {
    auto it = std::find_if(names_.begin(), names_.end(),
                           [&](const std::u16string& known) { return EqualsNoCase(known, name); });
    if (it == names_.end()) {
        return win::kErrorUnknownPrinterDriver;
    }
    trace_.effect("printer driver deleted " + Utf8(*it));
    names_.erase(it);
    return 0;
}

}  // namespace tw::sim
