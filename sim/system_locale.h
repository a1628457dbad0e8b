// The simulated system's language and 8-bit code page: the default language
// id (which picks the wizard's French or English texts) and the ANSI code
// page that widens 8-bit text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw::sim {

struct SystemLocale {
    std::uint16_t defaultLangId = 0x0409;  // English (United States)
    std::uint32_t ansiCodePage = 1252;     // Western European
};

// Widens 8-bit text in `codePage` as MultiByteToWideChar does; the machine
// knows code pages 1252 (Western European) and 1251 (Cyrillic). Nothing for
// another code page.
std::optional<std::u16string> WidenCodePage(std::uint32_t codePage, std::string_view bytes);

}  // namespace tw::sim
