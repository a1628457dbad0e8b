#include "platform/text_format.h"

#include <gtest/gtest.h>

namespace tw::platform {
namespace {

TEST(FormatText, FormatsLikeWsprintf) {
    const std::u16string name = u"Tarnwell Setup";
    EXPECT_EQ(FormatText(u"xcopy error = %d", {5}), u"xcopy error = 5");
    EXPECT_EQ(FormatText(u"%s %i.%i%i", {std::u16string_view(name), 1, 44, 0}),
              u"Tarnwell Setup 1.440");
    EXPECT_EQ(FormatText(u"100%% = %d", {5}), u"100% = 5");
}

TEST(FormatText, NegativeCodesInSignedDecimal) {
    EXPECT_EQ(FormatCode(u"WriteFile error = %d", -2147024891), u"WriteFile error = -2147024891");
}

TEST(FormatText, DirectiveWithoutAMatchingArgumentStaysVisible) {
    EXPECT_EQ(FormatText(u"a %d b %d", {1}), u"a 1 b %d");
    EXPECT_EQ(FormatText(u"%s", {7}), u"%s");
    EXPECT_EQ(FormatText(u"50%", {}), u"50%");
}

TEST(Utf8, RoundTripsLatin1AndSurrogatePairs) {
    std::u16string text = u"S\u00E9lectionner \U0001F600 \u20AC";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"\u00E9"), "\xC3\xA9");
}

TEST(Utf8, UnpairedSurrogateBecomesReplacement) {
    std::u16string lone(1, static_cast<char16_t>(0xD800));
    EXPECT_EQ(ToUtf8(lone), "\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");
}

}  // namespace
}  // namespace tw::platform
