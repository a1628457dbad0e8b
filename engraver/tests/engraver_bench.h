// The simulated machine the engraver link's tests run on: install running
// from C:\Package\Systems with the package root as its current folder, and
// the USB printer-class interfaces a case sets up.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engraver/engraver_link.h"
#include "sim/sim_path.h"
#include "sim/sim_platform.h"

namespace tw::engraver::testing {

inline constexpr std::u16string_view kPackageRoot = u"C:\\Package";

// An interface of another printer (Epson-like identifiers).
inline std::u16string OtherPrinterPath(std::u16string_view instance = u"5&1a2b3c4d&0&1") {
    return sim::UsbPrintInterfacePath(u"vid_04b8&pid_0005", instance);
}

struct EngraverBench {
    sim::SimMachine machine;
    sim::SimPlatform install{machine, u"C:\\Package\\Systems\\Install.exe",
                             std::u16string(kPackageRoot)};
    // Starts with a value no call sets, so a test sees that each call sets it.
    std::int32_t makerTagFound = -1;

    EngraverBench() { machine.files.addFolders(u"C:\\Package\\Systems"); }

    platform::Platform& platform() { return install.platform(); }

    // Places the firmware table in the package root.
    void placeFirmwareTable(const std::vector<std::uint8_t>& bytes) {
        machine.files.addFile(u"C:\\Package\\firmware_table_2.dos", bytes);
    }

    // Calls of the trace whose text holds `needle`.
    std::size_t callsMentioning(const std::string& needle) const {
        return machine.trace.matching(needle).size();
    }

    // Nothing left open or allocated: links, lists, files, memory blocks.
    void expectAllReleased() const {
        for (const std::string& open : machine.handles.stillOpen()) {
            ADD_FAILURE() << "still open: " << open;
        }
        EXPECT_EQ(machine.memory.outstanding(), 0u);
    }
};

// A table of bytes that shows where each byte came from.
inline std::vector<std::uint8_t> PatternBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

}  // namespace tw::engraver::testing
