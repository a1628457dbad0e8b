// File-system redirection as a 32-bit program on 64-bit Windows sees it: a
// path in the system folder leads to the 32-bit system folder (SysWOW64),
// except in the folders Windows leaves alone (the spooler's folder among
// them), unless the program has switched redirection off.
#pragma once

#include <string>
#include <string_view>

namespace tw::sim {

// Where a normalized full path leads. `native` is the system folder
// ("C:\Windows\System32"), `wow64` the 32-bit one ("C:\Windows\SysWOW64").
std::u16string Wow64Redirect(std::u16string_view path, std::u16string_view native,
                             std::u16string_view wow64);

}  // namespace tw::sim
