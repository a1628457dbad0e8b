// The fixed texts of driver installation: the pieces of the paths and
// commands, and the messages shown.
#pragma once

#include <string_view>

namespace tw::driver_install {

// Appended to the current folder to name the package's INF file.
inline constexpr std::u16string_view kInfFile = u"\\kelvra.inf";
// Appended to the system folder: the program, a blank, and the printer
// set-up entry point it is to call.
inline constexpr std::u16string_view kPrinterSetupEntry = u"\\rundll32 printui.dll,PrintUIEntry";
// The driver model, which is also the printer's name.
inline constexpr std::u16string_view kModelName = u"Tarn-Well";
inline constexpr std::u16string_view kQuote = u"\"";

// The install command's switches: install from an INF, the INF, the model,
// the port. The properties command's: the printer's name, its properties.
inline constexpr std::u16string_view kInstallSwitch = u" /if ";
inline constexpr std::u16string_view kInfSwitch = u" /f ";
inline constexpr std::u16string_view kModelSwitch = u" /m ";
inline constexpr std::u16string_view kPortSwitch = u" /r ";
inline constexpr std::u16string_view kNameSwitch = u" /n ";
inline constexpr std::u16string_view kPropertiesSwitch = u" /p";

inline constexpr std::u16string_view kCopyOemError = u"Copy OEM error";
inline constexpr std::u16string_view kNoPortExists = u"No port exists";
inline constexpr std::u16string_view kSystemDirectoryError = u"System Directory error";
inline constexpr std::u16string_view kProcessError = u"Process error";

}  // namespace tw::driver_install
