#include "sim/command_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tw::sim {
namespace {

struct SplitCase {
    const char* name;
    std::u16string text;
    std::vector<std::u16string> arguments;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.name;
}

class SplitArgumentsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitArgumentsTest, SplitsAsTheSystemDoes) {
    EXPECT_EQ(SplitArguments(GetParam().text), GetParam().arguments);
}

const SplitCase kSplitCases[] = {
    {"BlanksSeparate", u"/if  /f x", {u"/if", u"/f", u"x"}},
    {"QuotesGroup",
     u"/f \"C:\\a b\\kelvra.inf\" /m \"Tarn-Well\"",
     {u"/f", u"C:\\a b\\kelvra.inf", u"/m", u"Tarn-Well"}},
    {"BackslashesBeforeNoQuoteStay", u"\"D:\\\\kelvra.inf\"", {u"D:\\\\kelvra.inf"}},
    {"EscapedQuote", u"\"a\\\"b\" c", {u"a\"b", u"c"}},
    {"EvenBackslashesThenQuote", u"\"a\\\\\" c", {u"a\\", u"c"}},
    // A quote inside a quoted name ends it: the rest becomes arguments.
    {"QuoteInAQuotedName", u"/r \"LPT1:\" /b \"X\"", {u"/r", u"LPT1:", u"/b", u"X"}},
    {"EmptyQuoted", u"/r \"\"", {u"/r", u""}},
};

INSTANTIATE_TEST_SUITE_P(Arguments, SplitArgumentsTest, ::testing::ValuesIn(kSplitCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace tw::sim
