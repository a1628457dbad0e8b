// Removal of the driver packages an earlier installation left in the Windows
// INF folder, and of the driver model from the local print server.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace tw::removal {

// The driver model and the package display name that mark our packages.
inline constexpr std::u16string_view kDriverModelName = u"Tarn-Well";
inline constexpr std::u16string_view kPackageDisplayName = u"package Tarnwell";

// Messages of the removal by hand, when the system offers no uninstall function.
inline constexpr std::u16string_view kDeleteInfErrorFormat = u"DeleteFile Oem.inf error = %d";
inline constexpr std::u16string_view kDeletePnfErrorFormat = u"DeleteFile Oem.pnf error = %d";

// Uninstalls every oem*.inf package of the INF folder whose display name is
// "package Tarnwell" or whose UTF-16 text holds "Tarn-Well". True when the
// search over the folder ran to its normal end; false when nothing matched
// the search pattern, the Windows folder could not be read, or the search
// ended on another error.
bool RemoveDriverPackages(platform::Platform& platform);

// Removes the driver model "Tarn-Well" from the local print server's drivers,
// leaving its files; the result is not looked at and nothing is reported.
void RemovePrinterDriver(platform::Platform& platform);

}  // namespace tw::removal
