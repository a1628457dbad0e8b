#include "sim/sim_spooler.h"

#include "sim/sim_path.h"

namespace tw::sim {

// --- Printer drivers ---------------------------------------------------------------

platform::Result<bool> SimSpooler::DeletePrinterDriverExW(std::u16string_view driverName,
                                                          std::uint32_t deleteFlag,
                                                          std::uint32_t versionFlag) {
    std::string call = "DeletePrinterDriverExW(\"" + Utf8(driverName) + "\", " +
                       std::to_string(deleteFlag) + ", " + std::to_string(versionFlag) + ")";
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("DeletePrinterDriverExW", driverName)) {
        error = *planned;
    } else {
        error = m_.printerDrivers.remove(driverName);
    }
    m_.trace.call(call + " -> " + (error == 0 ? "1" : "0, error " + std::to_string(error)));
    return {error == 0, error};
}

}  // namespace tw::sim
