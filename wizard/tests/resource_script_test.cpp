// The simulated machine's copy of install's resources (sim::InstallResources)
// against the resource script the real program is built from: the dialog
// template, its controls, the icon and the version resource must agree, or
// the simulation would test another dialog than the one that ships.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text_format.h"
#include "sim/program_resources.h"
#include "wizard/resource.h"

namespace tw::wizard {
namespace {

using platform::ToUtf8;
namespace style = sim::style;

// Identifiers the script uses, with their values.
const std::map<std::string, std::uint32_t> kNames = {
    {"IDCANCEL", 2},
    {"IDD_INSTALL_DIALOG", IDD_INSTALL_DIALOG},
    {"IDR_MAINFRAME", IDR_MAINFRAME},
    {"IDC_PORT_GROUP", IDC_PORT_GROUP},
    {"IDC_USB", IDC_USB},
    {"IDC_OTHER", IDC_OTHER},
    {"IDC_STEP1", IDC_STEP1},
    {"IDC_STEP2", IDC_STEP2},
    {"IDC_STEP3", IDC_STEP3},
    {"IDC_STEP4", IDC_STEP4},
    {"IDC_NEXT", IDC_NEXT},
    {"IDC_STEP5", IDC_STEP5},
    {"IDC_STEP6", IDC_STEP6},
    {"IDC_STEP7", IDC_STEP7},
    {"DS_MODALFRAME", style::kDsModalFrame},
    {"DS_SETFONT", style::kDsSetFont},
    {"WS_POPUP", style::kWsPopup},
    {"WS_VISIBLE", style::kWsVisible},
    {"WS_CAPTION", style::kWsCaption},
    {"WS_SYSMENU", style::kWsSysMenu},
    {"WS_EX_APPWINDOW", style::kWsExAppWindow},
    {"WS_TABSTOP", style::kWsTabStop},
    {"WS_GROUP", style::kWsGroup},
    {"BS_RADIOBUTTON", style::kBsRadioButton},
    {"BS_AUTORADIOBUTTON", style::kBsAutoRadioButton},
    {"BS_DEFPUSHBUTTON", style::kBsDefPushButton},
    {"VFT_APP", 1},
};

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// Splits at commas outside quotes.
std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        }
        if (c == ',' && !quoted) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    for (std::string& field : out) {
        field = Trim(field);
    }
    return out;
}

// A quoted string of the script: octal escapes are Windows-1252 bytes,
// widened here as Latin-1 (the script's texts use no byte from 0x80 to 0x9F).
std::u16string Text(const std::string& quoted) {
    std::u16string out;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 3 < quoted.size()) {
            out.push_back(static_cast<char16_t>(std::stoi(quoted.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(static_cast<unsigned char>(quoted[i]));
        }
    }
    return out;
}

std::uint32_t Value(const std::string& token) {
    std::string name = Trim(token);
    auto it = kNames.find(name);
    if (it != kNames.end()) {
        return it->second;
    }
    return static_cast<std::uint32_t>(std::stoul(name, nullptr, 0));
}

std::uint32_t Styles(const std::string& expression) {
    std::uint32_t value = 0;
    std::stringstream parts(expression);
    std::string part;
    while (std::getline(parts, part, '|')) {
        value |= Value(part);
    }
    return value;
}

std::int16_t Unit(const std::string& field) {
    return static_cast<std::int16_t>(std::stoi(field));
}

// The resources the script defines, read the way the resource compiler
// reads the statements it uses.
struct Script {
    sim::ProgramResources resources;
    std::string stringBlock;  // the string table's block name ("040c04e4")
};

Script ReadScript(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    Script script;
    sim::ProgramResources& resources = script.resources;
    sim::DialogTemplate dialog;
    sim::VersionResource version;
    std::uint16_t language = 0;
    std::string line;
    bool inDialog = false;
    while (std::getline(in, line)) {
        std::string text = Trim(line);
        std::istringstream words(text);
        std::string first;
        std::string second;
        words >> first >> second;
        std::string rest = text.size() > first.size() ? Trim(text.substr(first.size())) : "";
        if (first == "LANGUAGE") {
            language = second == "LANG_FRENCH," ? 0x040C : 0;
        } else if (second == "ICON") {
            resources.icons.insert(static_cast<std::int32_t>(Value(first)));
        } else if (second == "DIALOGEX") {
            auto fields = Fields(Trim(rest.substr(second.size())));
            dialog.id = static_cast<std::int32_t>(Value(first));
            dialog.language = language;
            dialog.x = Unit(fields[0]);
            dialog.y = Unit(fields[1]);
            dialog.cx = Unit(fields[2]);
            dialog.cy = Unit(fields[3]);
            inDialog = true;
        } else if (inDialog && first == "STYLE") {
            dialog.style = Styles(rest);
        } else if (inDialog && first == "EXSTYLE") {
            dialog.exStyle = Styles(rest);
        } else if (inDialog && first == "CAPTION") {
            dialog.caption = Text(rest);
        } else if (inDialog && first == "FONT") {
            auto fields = Fields(rest);
            dialog.pointSize = static_cast<std::uint16_t>(std::stoi(fields[0]));
            dialog.font = Text(fields[1]);
            dialog.weight = static_cast<std::uint16_t>(std::stoi(fields[2]));
            dialog.italic = std::stoi(fields[3]) != 0;
            dialog.charset = static_cast<std::uint8_t>(Value(fields[4]));
        } else if (inDialog && first == "END") {
            inDialog = false;
            resources.dialogs.emplace(dialog.id, dialog);
        } else if (inDialog && (first == "PUSHBUTTON" || first == "LTEXT" || first == "GROUPBOX" ||
                                first == "CONTROL")) {
            auto fields = Fields(rest);
            sim::ControlTemplate control;
            control.text = Text(fields[0]);
            control.id = static_cast<std::int32_t>(Value(fields[1]));
            std::size_t at = 2;
            std::uint32_t base = style::kWsChild | style::kWsVisible;
            if (first == "PUSHBUTTON") {
                control.windowClass = sim::ControlClass::Button;
                control.style = base | style::kWsTabStop | style::kBsPushButton;
            } else if (first == "LTEXT") {
                control.windowClass = sim::ControlClass::Static;
                control.style = base | style::kSsLeft | style::kWsGroup;
            } else if (first == "GROUPBOX") {
                control.windowClass = sim::ControlClass::Button;
                control.style = base | style::kBsGroupBox;
            } else {
                control.windowClass = Text(fields[2]) == u"Button" ? sim::ControlClass::Button
                                                                   : sim::ControlClass::Static;
                control.style = base | Styles(fields[3]);
                at = 4;
            }
            control.x = Unit(fields[at]);
            control.y = Unit(fields[at + 1]);
            control.cx = Unit(fields[at + 2]);
            control.cy = Unit(fields[at + 3]);
            if (fields.size() > at + 4) {
                control.style |= Styles(fields[at + 4]);
            }
            dialog.controls.push_back(control);
        } else if (first == "FILEVERSION" || first == "PRODUCTVERSION") {
            auto parts = Fields(rest);
            std::uint32_t ms = sim::VersionMS(Value(parts[0]), Value(parts[1]));
            std::uint32_t ls = sim::VersionLS(Value(parts[2]), Value(parts[3]));
            (first == "FILEVERSION" ? version.fileVersionMS : version.productVersionMS) = ms;
            (first == "FILEVERSION" ? version.fileVersionLS : version.productVersionLS) = ls;
        } else if (first == "BLOCK" && Text(second) != u"StringFileInfo" &&
                   Text(second) != u"VarFileInfo") {
            script.stringBlock = ToUtf8(Text(second));
        } else if (first == "FILETYPE") {
            version.fileType = Value(rest);
        } else if (first == "VALUE") {
            auto fields = Fields(rest);
            if (Text(fields[0]) == u"Translation") {
                version.language = static_cast<std::uint16_t>(Value(fields[1]));
                version.codePage = static_cast<std::uint16_t>(Value(fields[2]));
            } else {
                version.strings.emplace_back(Text(fields[0]), Text(fields[1]));
            }
        }
    }
    resources.version = version;
    return script;
}

class ResourceScript : public ::testing::Test {
  protected:
    Script read = ReadScript(TW_INSTALL_RC);
    sim::ProgramResources& script = read.resources;
    sim::ProgramResources simulated = sim::InstallResources();
};

TEST_F(ResourceScript, DialogTemplateMatchesTheSimulatedOne) {
    ASSERT_EQ(script.dialogs.count(IDD_INSTALL_DIALOG), 1u);
    const sim::DialogTemplate& real = script.dialogs.at(IDD_INSTALL_DIALOG);
    const sim::DialogTemplate& copy = simulated.dialogs.at(IDD_INSTALL_DIALOG);
    EXPECT_EQ(real.language, copy.language);
    EXPECT_EQ(real.x, copy.x);
    EXPECT_EQ(real.y, copy.y);
    EXPECT_EQ(real.cx, copy.cx);
    EXPECT_EQ(real.cy, copy.cy);
    EXPECT_EQ(real.style, copy.style);
    EXPECT_EQ(real.exStyle, copy.exStyle);
    EXPECT_EQ(ToUtf8(real.caption), ToUtf8(copy.caption));
    EXPECT_EQ(ToUtf8(real.font), ToUtf8(copy.font));
    EXPECT_EQ(real.pointSize, copy.pointSize);
    EXPECT_EQ(real.weight, copy.weight);
    EXPECT_EQ(real.italic, copy.italic);
    EXPECT_EQ(real.charset, copy.charset);
    ASSERT_EQ(real.controls.size(), copy.controls.size());
    for (std::size_t i = 0; i < real.controls.size(); ++i) {
        const sim::ControlTemplate& a = real.controls[i];
        const sim::ControlTemplate& b = copy.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(a.id));
        EXPECT_EQ(a.id, b.id);
        EXPECT_EQ(a.windowClass, b.windowClass);
        EXPECT_EQ(ToUtf8(a.text), ToUtf8(b.text));
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_EQ(a.cx, b.cx);
        EXPECT_EQ(a.cy, b.cy);
        EXPECT_EQ(a.style, b.style);
    }
}

TEST_F(ResourceScript, NoButtonIsTheDefaultOneOrAnAutomaticRadioButton) {
    for (const sim::ControlTemplate& control : script.dialogs.at(IDD_INSTALL_DIALOG).controls) {
        std::uint32_t type = control.style & style::kBsTypeMask;
        if (control.windowClass == sim::ControlClass::Button) {
            EXPECT_NE(type, style::kBsDefPushButton) << control.id;
            EXPECT_NE(type, style::kBsAutoRadioButton) << control.id;
        }
        EXPECT_NE(control.id, 1) << "no button has the OK id";
    }
}

TEST_F(ResourceScript, IconAndVersionResourceMatchTheSimulatedOnes) {
    EXPECT_EQ(script.icons, simulated.icons);
    const sim::VersionResource& real = *script.version;
    const sim::VersionResource& copy = *simulated.version;
    EXPECT_EQ(real.fileVersionMS, copy.fileVersionMS);
    EXPECT_EQ(real.fileVersionLS, copy.fileVersionLS);
    EXPECT_EQ(real.productVersionMS, copy.productVersionMS);
    EXPECT_EQ(real.productVersionLS, copy.productVersionLS);
    EXPECT_EQ(real.fileType, copy.fileType);
    EXPECT_EQ(real.language, copy.language);
    EXPECT_EQ(real.codePage, copy.codePage);
    char block[9];
    std::snprintf(block, sizeof block, "%04x%04x", unsigned{copy.language},
                  unsigned{copy.codePage});
    EXPECT_EQ(read.stringBlock, block);
    ASSERT_EQ(real.strings.size(), copy.strings.size());
    for (std::size_t i = 0; i < real.strings.size(); ++i) {
        EXPECT_EQ(ToUtf8(real.strings[i].first), ToUtf8(copy.strings[i].first));
        EXPECT_EQ(ToUtf8(real.strings[i].second), ToUtf8(copy.strings[i].second));
    }
}

}  // namespace
}  // namespace tw::wizard
