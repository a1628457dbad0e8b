// What EnumPortsW does at level 1: a size query that fails for want of a
// block, then the sized call that lists the ports, with the sizes of the
// 32-bit layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

class SpoolerPortsContract : public ::testing::Test {
  protected:
    platform::Spooler& spooler = Env().platform().spooler;
};

TEST_F(SpoolerPortsContract, PortsAreListedInABlockOfTheSizeTheQueryReports) {
    std::vector<platform::PortInfo1> ports{{u"stale"}};
    std::uint32_t needed = 0;
    std::uint32_t returned = 99;
    auto query = spooler.EnumPortsW({}, ports, needed, returned);
    EXPECT_FALSE(query.value);
    EXPECT_EQ(query.error, win::kErrorInsufficientBuffer);
    ASSERT_GT(needed, 0u);
    EXPECT_EQ(returned, 0u);
    EXPECT_TRUE(ports.empty());

    std::vector<std::uint8_t> block(needed);
    std::uint32_t neededShort = 0;
    auto tooSmall =
        spooler.EnumPortsW(std::span(block).first(needed - 1), ports, neededShort, returned);
    EXPECT_FALSE(tooSmall.value);
    EXPECT_EQ(tooSmall.error, win::kErrorInsufficientBuffer);
    EXPECT_EQ(neededShort, needed);
    EXPECT_EQ(returned, 0u);

    std::uint32_t neededNow = 0;
    auto listed = spooler.EnumPortsW(block, ports, neededNow, returned);
    ASSERT_TRUE(listed.value) << "error " << listed.error;
    ASSERT_EQ(returned, ports.size());
    // A 4-byte record per port, then the names with their terminators.
    std::size_t size = 0;
    std::vector<std::string> names;
    for (const platform::PortInfo1& port : ports) {
        size += 4 + (port.name.size() + 1) * 2;
        names.push_back(platform::ToUtf8(port.name));
    }
    EXPECT_EQ(neededNow, size);
    EXPECT_EQ(needed, size);
    EXPECT_NE(std::find(names.begin(), names.end(), "LPT1:"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "FILE:"), names.end());
}

}  // namespace
}  // namespace tw::contract
