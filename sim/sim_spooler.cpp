#include "sim/sim_spooler.h"

#include <string>

#include "platform/win_codes.h"
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

// --- Ports -------------------------------------------------------------------

platform::Result<bool> SimSpooler::EnumPortsW(std::span<std::uint8_t> buffer,
                                              std::vector<platform::PortInfo1>& ports,
                                              std::uint32_t& needed, std::uint32_t& returned) {
    ports.clear();
    returned = 0;
    std::string call = "EnumPortsW(level 1, " + std::to_string(buffer.size()) + " bytes)";
    if (auto planned = m_.faults.check("EnumPortsW")) {
        m_.trace.call(call + " -> 0, error " + std::to_string(*planned));
        return {false, *planned};
    }
    // The 32-bit layout: one 4-byte record (the name's address) per port,
    // then the names with their terminators.
    std::size_t size = 0;
    for (const std::u16string& name : m_.ports.names) {
        size += 4 + (name.size() + 1) * sizeof(char16_t);
    }
    needed = static_cast<std::uint32_t>(size);
    if (buffer.size() < size) {
        m_.trace.call(call + " -> 0, error 122, needed " + std::to_string(size));
        return {false, win::kErrorInsufficientBuffer};
    }
    for (const std::u16string& name : m_.ports.names) {
        ports.push_back({name});
    }
    returned = static_cast<std::uint32_t>(ports.size());
    m_.trace.call(call + " -> 1, " + std::to_string(returned) + " ports");
    return {true, 0};
}

}  // namespace tw::sim
