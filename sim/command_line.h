// Command lines on the simulated machine: the arguments of a program's
// command line as a Windows C program splits them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw::sim {

// Blanks and tabs outside quotes separate arguments; double quotes group and
// are dropped; backslashes count only before a quote (2n backslashes and a
// quote: n backslashes and the quote groups; 2n+1: n backslashes and a
// literal quote).
std::vector<std::u16string> SplitArguments(std::u16string_view text);

}  // namespace tw::sim
