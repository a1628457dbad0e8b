#include "platform/text_buffer.h"

#include <gtest/gtest.h>

namespace tw::platform {
namespace {

using Small = TextBuffer<8>;  // seven units of text and the terminator

TEST(TextBuffer, AppendsUpToTheLastUnitBeforeTheTerminator) {
    Small buffer;
    EXPECT_TRUE(buffer.assign(u"abc"));
    EXPECT_TRUE(buffer.append(u"defg"));
    EXPECT_EQ(buffer.view(), u"abcdefg");
    EXPECT_EQ(buffer.c_str()[7], u'\0');
}

TEST(TextBuffer, OverflowLeavesTheTextAsItWas) {
    Small buffer;
    ASSERT_TRUE(buffer.assign(u"abcd"));
    EXPECT_FALSE(buffer.append(u"efgh"));
    EXPECT_EQ(buffer.view(), u"abcd");
    EXPECT_FALSE(buffer.assign(u"12345678"));
    EXPECT_EQ(buffer.view(), u"abcd");
}

TEST(TextBuffer, AppendAllIsAllOrNothing) {
    Small buffer;
    EXPECT_FALSE(buffer.appendAll({u"abc", u"def", u"gh"}));
    EXPECT_TRUE(buffer.empty());
    EXPECT_TRUE(buffer.appendAll({u"abc", u"def", u"g"}));
    EXPECT_EQ(buffer.view(), u"abcdefg");
}

TEST(TextBuffer, AdoptsWhatASystemCallFilledOnlyWhenTheTerminatorFits) {
    Small buffer;
    std::u16string_view text = u"xyz";
    text.copy(buffer.writable().data(), text.size());
    EXPECT_TRUE(buffer.adoptFilled(3));
    EXPECT_EQ(buffer.view(), u"xyz");
    // A call that reports the whole buffer used has cut its text.
    EXPECT_FALSE(buffer.adoptFilled(8));
    EXPECT_TRUE(buffer.empty());
}

TEST(TextBuffer, TruncateAndFindLast) {
    PathBuffer path;
    ASSERT_TRUE(path.assign(u"C:\\Pkg\\setup.exe"));
    auto at = path.findLast(u'\\');
    ASSERT_TRUE(at.has_value());
    path.truncate(*at);
    EXPECT_EQ(path.view(), u"C:\\Pkg");
    EXPECT_FALSE(path.findLast(u'/').has_value());
}

}  // namespace
}  // namespace tw::platform
