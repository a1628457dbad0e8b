#include "driver_install/port_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_format.h"

namespace tw::driver_install {
namespace {

struct PortRuleCase {
    const char* name;
    std::vector<std::u16string> ports;  // in the order the system lists them
    std::u16string chosen;              // empty: no port qualifies
};

void PrintTo(const PortRuleCase& c, std::ostream* out) {
    *out << c.name;
}

class PortRuleTest : public ::testing::TestWithParam<PortRuleCase> {};

TEST_P(PortRuleTest, ChoosesThePortOfTheRule) {
    const PortRuleCase& c = GetParam();
    std::vector<platform::PortInfo1> ports;
    for (const std::u16string& name : c.ports) {
        ports.push_back({name});
    }
    std::optional<std::size_t> chosen = ChoosePort(ports);
    if (c.chosen.empty()) {
        EXPECT_FALSE(chosen.has_value()) << platform::ToUtf8(ports[*chosen].name);
    } else {
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(platform::ToUtf8(ports[*chosen].name), platform::ToUtf8(c.chosen));
    }
}

const PortRuleCase kCases[] = {
    {"Lpt1AmongOthers", {u"COM1:", u"COM2:", u"LPT1:", u"FILE:"}, u"LPT1:"},
    {"FirstLpt1InAnyCase", {u"lpt1:", u"LPT1:"}, u"lpt1:"},
    {"LastPortThatIsNotUsb", {u"COM1:", u"LPT2:", u"FILE:", u"USB001"}, u"FILE:"},
    {"Lpt10IsNoLpt1ButNoUsbEither", {u"LPT10:", u"USB001"}, u"LPT10:"},
    {"Lpt1WithoutColonIsNoLpt1", {u"COM1:", u"LPT1", u"USB001"}, u"LPT1"},
    {"OnlyUsbPorts", {u"usb001", u"USB002"}, {}},
    {"EmptyList", {}, {}},
    {"OneCharacterNameIsNoUsb", {u"U", u"USB001"}, u"U"},
    {"TwoCharacterNameIsNoUsb", {u"US", u"USB001"}, u"US"},
    {"Lpt1WinsOverALaterScan", {u"USB001", u"FILE:", u"Lpt1:Tarn"}, u"Lpt1:Tarn"},
    // A double quote in the name would end the quoted port on the command
    // line: such a port never qualifies, by either scan.
    {"Lpt1WithQuoteIsPassedOver", {u"LPT1:\" /x \"", u"COM1:", u"USB001"}, u"COM1:"},
    {"LastNonUsbWithQuoteIsPassedOver", {u"COM1:", u"FILE\"", u"USB001"}, u"COM1:"},
    {"OnlyQuotedAndUsbPorts", {u"A\"B", u"USB001"}, {}},
    // Only A to Z fold: an accented letter is no "U".
    {"AccentedLetterIsNoUsb", {u"\u00DCSB001", u"USB002"}, u"\u00DCSB001"},
};

INSTANTIATE_TEST_SUITE_P(Ports, PortRuleTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace tw::driver_install
