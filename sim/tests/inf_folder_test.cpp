#include "sim/inf_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_format.h"
#include "sim/file_search.h"

namespace tw::sim {
namespace {

using platform::FromUtf8;
using platform::ToUtf8;

// The display name setup reads from an INF text, or "<none>", or the error.
std::string DisplayName(const std::string& text) {
    InfVersion version;
    if (std::uint32_t error = ParseInfVersion(FromUtf8(text), version)) {
        return "error " + std::to_string(error);
    }
    for (const auto& [key, value] : version.entries) {
        if (ToUtf8(key) == "DriverPackageDisplayName") {
            return ToUtf8(value);
        }
    }
    return "<none>";
}

TEST(InfVersionSection, ReadsTheDisplayNameAsSetupDoes) {
    struct Case {
        const char* name;
        std::string text;
        std::string displayName;
    };
    const Case cases[] = {
        {"quoted", "[Version]\nDriverPackageDisplayName = \"package Tarnwell\"\n",
         "package Tarnwell"},
        {"from strings, any case of section and key",
         "[version]\r\nDriverPackageDisplayName=%Pkg%\r\n[STRINGS]\r\npkg=\"package Tarnwell\"\r\n",
         "package Tarnwell"},
        {"comment after the value", "[Version]\nDriverPackageDisplayName=Plotter ; Tarn-Well\n",
         "Plotter"},
        {"semicolon inside quotes", "[Version]\nDriverPackageDisplayName=\"a;b\"\n", "a;b"},
        {"unknown string key stands", "[Version]\nDriverPackageDisplayName=%Missing%\n",
         "%Missing%"},
        {"only in another section", "[Models]\nDriverPackageDisplayName=x\n[Version]\nClass=P\n",
         "<none>"},
        {"section name without its bracket", "[Version\nDriverPackageDisplayName=x\n",
         "error 3758096385"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DisplayName(c.text), c.displayName) << c.name;
    }
}

TEST(InfVersionSection, VersionDataRoundTripsThroughTheInformationBlock) {
    InfVersion version{u"C:\\Windows\\inf\\oem3.inf",
                       {{u"Signature", u"$Windows NT$"}, {u"DriverPackageDisplayName", u""}}};
    std::optional<InfVersion> back = DecodeVersionData(EncodeVersionData(version));
    ASSERT_TRUE(back);
    EXPECT_EQ(ToUtf8(back->path), "C:\\Windows\\inf\\oem3.inf");
    ASSERT_EQ(back->entries.size(), 2u);
    EXPECT_EQ(ToUtf8(back->entries[1].first), "DriverPackageDisplayName");
    EXPECT_EQ(ToUtf8(back->entries[1].second), "");
    // A block cut short is not version data.
    std::vector<std::uint8_t> cut = EncodeVersionData(version);
    cut.resize(cut.size() - 2);
    EXPECT_FALSE(DecodeVersionData(cut));
}

TEST(InfFolderModel, StoresUtf16AndAnsiTextAndUninstallsBothFiles) {
    VirtualClock clock;
    Trace trace{clock};
    FileSystem files{trace};
    InfFolder infs{files, trace, u"C:\\Windows"};
    infs.add({u"oem1.inf", "[Version]\n; Tarn-Well \xC3\xA9", InfEncoding::Utf16});
    infs.add({u"oem2.inf", "[Version]\n; Tarn-Well \xC3\xA9", InfEncoding::Ansi, false, 0x21});

    const FileNode* wide = files.find(u"C:\\Windows\\inf\\oem1.inf");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->bytes[0], 0xFF);
    EXPECT_EQ(wide->bytes[1], 0xFE);
    EXPECT_EQ(ToUtf8(DecodeInfText(wide->bytes)), "[Version]\n; Tarn-Well \xC3\xA9");
    const FileNode* narrow = files.find(u"C:\\Windows\\inf\\oem2.inf");
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(narrow->bytes.back(), 0xE9);
    EXPECT_EQ(ToUtf8(DecodeInfText(narrow->bytes)), "[Version]\n; Tarn-Well \xC3\xA9");

    EXPECT_TRUE(infs.holdsPrecompiled(u"oem1.inf"));
    EXPECT_FALSE(infs.holdsPrecompiled(u"oem2.inf"));
    EXPECT_EQ(infs.uninstall(u"oem1.inf"), 0u);
    EXPECT_FALSE(infs.holds(u"oem1.inf"));
    EXPECT_FALSE(infs.holdsPrecompiled(u"oem1.inf"));
    // Read-only and without its .pnf: removed all the same.
    EXPECT_EQ(infs.uninstall(u"oem2.inf"), 0u);
    EXPECT_FALSE(infs.holds(u"oem2.inf"));
    EXPECT_EQ(infs.uninstall(u"oem2.inf"), 2u);
}

TEST(FileSearchPattern, MatchesWildcardsWithoutRegardToCase) {
    struct Case {
        std::u16string name;
        std::u16string pattern;
        bool matches;
    };
    const Case cases[] = {
        {u"oem12.inf", u"oem*.inf", true},  {u"OEM.INF", u"oem*.inf", true},
        {u"oem1.pnf", u"oem*.inf", false},  {u"oem1.inf.bak", u"oem*.inf", false},
        {u"xoem1.inf", u"oem*.inf", false}, {u"oem1.inf", u"oem?.inf", true},
        {u"oem12.inf", u"oem?.inf", false}, {u"a.b.inf", u"*.inf", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WildcardMatch(c.name, c.pattern), c.matches)
            << ToUtf8(c.name) << " / " << ToUtf8(c.pattern);
    }
}

}  // namespace
}  // namespace tw::sim
