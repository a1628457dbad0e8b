// The port rule: which local port the printer of the driver model is
// installed on, from the ports in the order the system lists them.
//
// 1. The first port whose name begins with "LPT1:" (exactly those five
//    characters, letter case of A to Z ignored; lpt1: matches, LPT1 and
//    LPT10: do not).
// 2. Otherwise the last port whose name does not begin with "USB" (three
//    characters, case of A to Z ignored; a shorter name never does).
// 3. Otherwise none.
//
// A name holding a double quote never qualifies: the name is put between
// double quotes on the install command line, where its own quote would end
// the quoted text and let the rest of the name pass switches of its own.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "platform/spooler.h"

namespace tw::driver_install {

// The index of the chosen port, or nothing when no port qualifies.
std::optional<std::size_t> ChoosePort(std::span<const platform::PortInfo1> ports);

}  // namespace tw::driver_install
