// The Windows INF folder of the simulated machine: driver packages stored as
// oemN.inf files with their precompiled .pnf beside them, and what the setup
// functions read of an INF. An INF's information comes from its own text: the
// entries of its [Version] section, with %string% keys replaced from its
// [Strings] section, so an INF has a DriverPackageDisplayName exactly when its
// text gives one. An INF is read as UTF-16 after a byte-order mark and as
// 8-bit text otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/file_system.h"
#include "sim/trace.h"

namespace tw::sim {

enum class InfEncoding { Utf16, Ansi };

// One driver package as a scenario puts it in the INF folder.
struct InfPackage {
    std::u16string name;  // "oem12.inf"
    std::string text;     // the INF's text, in UTF-8 here, stored as `encoding`
    InfEncoding encoding = InfEncoding::Utf16;
    bool precompiled = true;          // with its .pnf
    std::uint32_t attributes = 0x20;  // archive; add 0x01 for read-only
};

// What the setup functions know of an INF once they have read it.
struct InfVersion {
    std::u16string path;                                             // the INF file that was read
    std::vector<std::pair<std::u16string, std::u16string>> entries;  // [Version], in order
};

// SetupAPI's code for a section name line without its closing bracket.
inline constexpr std::uint32_t kErrorBadSectionNameLine = 0xE0000001;

// The INF's text as setup reads it.
std::u16string DecodeInfText(std::span<const std::uint8_t> bytes);
// An INF's bytes as a package stores them, from its text in UTF-8: UTF-16
// after a byte-order mark, or 8-bit text with '?' for a character beyond it.
std::vector<std::uint8_t> EncodeInfText(std::string_view text, InfEncoding encoding);
// Reads the [Version] entries of an INF text; returns 0, or the code of the
// first line setup cannot parse.
std::uint32_t ParseInfVersion(std::u16string_view text, InfVersion& version);

// The version data of an information block as the simulated setup functions
// lay it out: the number of entries (32 bits), the INF's path, then each
// entry's key and value, each text UTF-16 with its terminator.
std::vector<std::uint8_t> EncodeVersionData(const InfVersion& version);
std::optional<InfVersion> DecodeVersionData(std::span<const std::uint8_t> data);

class InfFolder {
  public:
    InfFolder(FileSystem& files, Trace& trace, std::u16string windowsFolder);

    // "C:\Windows\inf"
    const std::u16string& folder() const { return folder_; }
    std::u16string pathOf(std::u16string_view name) const;
    // The .pnf beside an INF ("oem3.pnf" for "oem3.inf").
    std::u16string precompiledPathOf(std::u16string_view name) const;

    // Puts a package's INF (and .pnf) into the folder.
    void add(const InfPackage& package);
    bool holds(std::u16string_view name) const;
    bool holdsPrecompiled(std::u16string_view name) const;

    // Finds and reads an INF as SetupGetInfInformationW does: a name with a
    // folder stands as given; a bare name is looked for in the INF folder,
    // then in the system folder. Returns 0 or the failure's code.
    std::uint32_t readInformation(std::u16string_view infName, InfVersion& version) const;

    // SetupUninstallOEMInfW: removes an INF of the folder (by bare name) and
    // its .pnf, whatever their attributes. Returns 0 or the failure's code.
    std::uint32_t uninstall(std::u16string_view name);

  private:
    FileSystem& files_;
    Trace& trace_;
    std::u16string windowsFolder_;
    std::u16string folder_;
};

}  // namespace tw::sim
