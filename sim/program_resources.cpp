#include "sim/program_resources.h"

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

void ResourceTable::set(std::u16string_view path, ProgramResources resources) {
    byPath_[FoldCase(NormalizePath(path))] = std::move(resources);
}

const ProgramResources* ResourceTable::find(std::u16string_view path) const {
    auto it = byPath_.find(FoldCase(NormalizePath(path)));
    return it == byPath_.end() ? nullptr : &it->second;
}

ProgramResources* ResourceTable::find(std::u16string_view path) {
    auto it = byPath_.find(FoldCase(NormalizePath(path)));
    return it == byPath_.end() ? nullptr : &it->second;
}

ProgramResources InstallResources() {
    using namespace style;
    constexpr std::uint32_t kControl = kWsChild | kWsVisible;
    constexpr std::uint32_t kButton = kControl | kWsTabStop | kBsPushButton;
    constexpr std::uint32_t kRadio = kControl | kBsRadioButton;
    constexpr std::uint32_t kLabel = kControl | kSsLeft | kWsGroup;

    DialogTemplate dialog;
    dialog.id = 102;
    dialog.language = 0x040C;
    dialog.x = 0;
    dialog.y = 0;
    dialog.cx = 252;
    dialog.cy = 212;
    dialog.style = kDsModalFrame | kDsSetFont | kWsPopup | kWsVisible | kWsCaption | kWsSysMenu;
    dialog.exStyle = kWsExAppWindow;
    dialog.caption = u"Install";
    dialog.font = u"MS Sans Serif";
    dialog.pointSize = 8;
    dialog.weight = 400;
    dialog.italic = false;
    dialog.charset = 0;
    dialog.controls = {
        {2, ControlClass::Button, u"Cancel", 159, 186, 49, 14, kButton},
        {1006, ControlClass::Button, u"Autre", 148, 24, 58, 10, kRadio},
        {1009, ControlClass::Static, u">   Etape 1", 20, 49, 217, 16, kLabel},
        {1010, ControlClass::Static, u">   Etape 2", 20, 67, 217, 16, kLabel},
        {1011, ControlClass::Static, u">   Etape 3", 20, 86, 218, 16, kLabel},
        {1012, ControlClass::Static, u">   Etape 4", 20, 105, 217, 16, kLabel},
        {1013, ControlClass::Button, u"Suivant", 40, 186, 50, 14, kButton},
        {1014, ControlClass::Static, u">   Etape 5", 20, 124, 218, 16, kLabel},
        {1015, ControlClass::Static, u">   Etape 6", 20, 143, 217, 16, kLabel},
        {1004, ControlClass::Button,
         u"S\u00E9lectionner le type de port pour la communication avec la machine", 7, 10, 238, 31,
         kControl | kBsGroupBox},
        {1005, ControlClass::Button, u"USB", 71, 24, 40, 10, kRadio},
        {1016, ControlClass::Static, u">   Etape 7", 20, 162, 218, 18, kLabel},
    };

    VersionResource version;
    version.fileVersionMS = VersionMS(0, 1);
    version.fileVersionLS = VersionLS(1, 0);
    version.productVersionMS = VersionMS(0, 1);
    version.productVersionLS = VersionLS(1, 0);
    version.fileType = 1;
    version.language = 0x040C;
    version.codePage = 1252;
    version.strings = {
        {u"FileVersion", u"0.1.1.0"},          {u"InternalName", u"Install.exe"},
        {u"OriginalFilename", u"Install.exe"}, {u"ProductName", u"Install"},
        {u"ProductVersion", u"0.1.1.0"},
    };

    ProgramResources resources;
    resources.dialogs.emplace(dialog.id, std::move(dialog));
    resources.icons.insert(132);
    resources.version = std::move(version);
    return resources;
}

namespace {

// One node of a version block: length, value length, type, key, value,
// children, each piece aligned on 32 bits.
struct VersionNode {
    std::u16string key;
    std::vector<std::uint8_t> value;
    std::uint16_t valueLength = 0;  // in bytes for binary values, in units for text
    std::uint16_t type = 0;         // 0 binary, 1 text
    std::vector<VersionNode> children;
};

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t word) {
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
    out.push_back(static_cast<std::uint8_t>(word >> 8));
}

void PutDword(std::vector<std::uint8_t>& out, std::uint32_t dword) {
    PutWord(out, static_cast<std::uint16_t>(dword & 0xFFFF));
    PutWord(out, static_cast<std::uint16_t>(dword >> 16));
}

void PutText(std::vector<std::uint8_t>& out, std::u16string_view text) {
    for (char16_t unit : text) {
        PutWord(out, static_cast<std::uint16_t>(unit));
    }
    PutWord(out, 0);
}

void Align(std::vector<std::uint8_t>& out) {
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
}

void Encode(const VersionNode& node, std::vector<std::uint8_t>& out) {
    std::size_t start = out.size();
    PutWord(out, 0);  // length, filled in below
    PutWord(out, node.valueLength);
    PutWord(out, node.type);
    PutText(out, node.key);
    Align(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const VersionNode& child : node.children) {
        Align(out);
        Encode(child, out);
    }
    auto length = static_cast<std::uint16_t>(out.size() - start);
    out[start] = static_cast<std::uint8_t>(length & 0xFF);
    out[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

VersionNode TextNode(std::u16string key, std::u16string_view value) {
    VersionNode node{std::move(key), {}, static_cast<std::uint16_t>(value.size() + 1), 1, {}};
    PutText(node.value, value);
    return node;
}

std::u16string HexBlockName(std::uint16_t language, std::uint16_t codePage) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string name;
    std::uint32_t both = (std::uint32_t{language} << 16) | codePage;
    for (int shift = 28; shift >= 0; shift -= 4) {
        name.push_back(kDigits[(both >> shift) & 0xF]);
    }
    return name;
}

constexpr std::uint16_t kFixedInfoSize = 52;  // VS_FIXEDFILEINFO: 13 DWORDs
constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";

std::uint16_t WordAt(std::span<const std::uint8_t> block, std::size_t at) {
    return static_cast<std::uint16_t>(block[at] | (block[at + 1] << 8));
}

std::uint32_t DwordAt(std::span<const std::uint8_t> block, std::size_t at) {
    return WordAt(block, at) | (std::uint32_t{WordAt(block, at + 2)} << 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeVersionBlock(const VersionResource& version) {
    VersionNode root{std::u16string(kRootKey), {}, kFixedInfoSize, 0, {}};
    for (std::uint32_t field :
         {win::kVsFfiSignature, std::uint32_t{0x00010000}, version.fileVersionMS,
          version.fileVersionLS, version.productVersionMS, version.productVersionLS,
          std::uint32_t{0x3F}, std::uint32_t{0}, std::uint32_t{0x00040004} /* VOS_NT_WINDOWS32 */,
          version.fileType, std::uint32_t{0}, std::uint32_t{0}, std::uint32_t{0}}) {
        PutDword(root.value, field);
    }
    VersionNode table{HexBlockName(version.language, version.codePage), {}, 0, 1, {}};
    for (const auto& [key, value] : version.strings) {
        table.children.push_back(TextNode(key, value));
    }
    VersionNode strings{u"StringFileInfo", {}, 0, 1, {std::move(table)}};
    VersionNode translation{u"Translation", {}, 4, 0, {}};
    PutWord(translation.value, version.language);
    PutWord(translation.value, version.codePage);
    VersionNode variables{u"VarFileInfo", {}, 0, 1, {std::move(translation)}};
    root.children.push_back(std::move(strings));
    root.children.push_back(std::move(variables));

    std::vector<std::uint8_t> out;
    Encode(root, out);
    return out;
}

std::optional<platform::FixedFileInfo> DecodeFixedFileInfo(std::span<const std::uint8_t> block) {
    // Header (6 bytes), the key with its terminator, alignment, the value.
    std::size_t keyEnd = 6 + (kRootKey.size() + 1) * 2;
    std::size_t valueAt = (keyEnd + 3) / 4 * 4;
    if (block.size() < valueAt + kFixedInfoSize) {
        return std::nullopt;
    }
    std::size_t length = WordAt(block, 0);
    if (length < valueAt + kFixedInfoSize || WordAt(block, 2) < kFixedInfoSize) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kRootKey.size(); ++i) {
        if (WordAt(block, 6 + i * 2) != kRootKey[i]) {
            return std::nullopt;
        }
    }
    std::uint32_t fields[13] = {};
    for (std::size_t i = 0; i < 13; ++i) {
        fields[i] = DwordAt(block, valueAt + i * 4);
    }
    return platform::FixedFileInfo{fields[0],  fields[1],  fields[2], fields[3], fields[4],
                                   fields[5],  fields[6],  fields[7], fields[8], fields[9],
                                   fields[10], fields[11], fields[12]};
}

}  // namespace tw::sim
