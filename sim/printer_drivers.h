// The printer drivers registered with the simulated print server, by model
// name. Names compare without regard to letter case, as the spooler compares
// them. Deleting a driver takes only its registration: its files stay where
// they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/trace.h"

namespace tw::sim {

class PrinterDrivers {
  public:
    explicit PrinterDrivers(Trace& trace) : trace_(trace) {}

    void add(std::u16string_view name);
    bool has(std::u16string_view name) const;
    const std::vector<std::u16string>& names() const { return names_; }

    // DeletePrinterDriverExW: 0, or ERROR_UNKNOWN_PRINTER_DRIVER.
    std::uint32_t remove(std::u16string_view name);

  private:
    Trace& trace_;
    std::vector<std::u16string> names_;
};

}  // namespace tw::sim
