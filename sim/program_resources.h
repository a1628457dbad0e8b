// Resources of the simulated programs: dialog templates, icons and version
// resources, by program file. The window services and the version calls of
// the simulated machine read them, as Windows reads a program's resource
// section.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace tw::sim {

// Window and control styles of a template, with their documented values.
namespace style {
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kDsModalFrame = 0x00000080;
inline constexpr std::uint32_t kDsSetFont = 0x00000040;
inline constexpr std::uint32_t kWsExAppWindow = 0x00040000;
inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsDefPushButton = 0x1;
inline constexpr std::uint32_t kBsRadioButton = 0x4;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kBsAutoRadioButton = 0x9;
inline constexpr std::uint32_t kBsTypeMask = 0xF;
inline constexpr std::uint32_t kSsLeft = 0x0;
}  // namespace style

enum class ControlClass { Button, Static };

struct ControlTemplate {
    std::int32_t id = 0;
    ControlClass windowClass = ControlClass::Static;
    std::u16string text;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::uint32_t style = 0;                    // WS_CHILD | WS_VISIBLE | ...
};

struct DialogTemplate {
    std::int32_t id = 0;
    std::uint16_t language = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::u16string caption;
    std::u16string font;
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    bool italic = false;
    std::uint8_t charset = 0;
    std::vector<ControlTemplate> controls;  // template (tab and creation) order
};

struct VersionResource {
    std::uint32_t fileVersionMS = 0, fileVersionLS = 0;
    std::uint32_t productVersionMS = 0, productVersionLS = 0;
    std::uint32_t fileType = 1;  // VFT_APP
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
    std::vector<std::pair<std::u16string, std::u16string>> strings;
};

struct ProgramResources {
    std::map<std::int32_t, DialogTemplate> dialogs;
    std::set<std::int32_t> icons;
    std::optional<VersionResource> version;
};

class ResourceTable {
  public:
    // Gives the program file at `path` these resources (replacing any).
    void set(std::u16string_view path, ProgramResources resources);
    const ProgramResources* find(std::u16string_view path) const;
    ProgramResources* find(std::u16string_view path);

  private:
    std::map<std::u16string, ProgramResources> byPath_;  // by folded path
};

// A version a.b.c.d as the fixed information holds it.
constexpr std::uint32_t VersionMS(std::uint32_t a, std::uint32_t b) {
    return (a << 16) | (b & 0xFFFF);
}
constexpr std::uint32_t VersionLS(std::uint32_t c, std::uint32_t d) {
    return (c << 16) | (d & 0xFFFF);
}

// install's resources as its resource script defines them: dialog template
// 102, icon 132, version 0.1.1.0 with the string block "040c04e4".
ProgramResources InstallResources();

// The version resource block of a file (VS_VERSIONINFO with its fixed
// information, string table and translation), as GetFileVersionInfoW copies it.
std::vector<std::uint8_t> EncodeVersionBlock(const VersionResource& version);
// The fixed information at the root of a version block; nothing when the
// block is too short or not a version block.
std::optional<platform::FixedFileInfo> DecodeFixedFileInfo(std::span<const std::uint8_t> block);

}  // namespace tw::sim
