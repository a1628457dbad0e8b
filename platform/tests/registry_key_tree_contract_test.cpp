// What the Registry area's key-tree deletion and user name do.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::ToUtf8;

class RegistryKeyTreeContract : public ::testing::Test {
  protected:
    platform::Registry& registry = Env().platform().registry;
};

TEST_F(RegistryKeyTreeContract, DeletesAKeyWithItsSubkeysThenFindsItGone) {
    const std::u16string key = u"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\TW_Contract_Device";
    Env().makeMachineKey(key + u"\\5&2a1b&0&1\\Device Parameters");
    Env().makeMachineKey(key + u"\\5&2a1b&0&2");
    ASSERT_TRUE(Env().machineKeyExists(key));

    auto deleted = registry.SHDeleteKeyW(platform::kHkeyLocalMachine, key);
    EXPECT_EQ(deleted.value, 0u);
    EXPECT_FALSE(Env().machineKeyExists(key));
    EXPECT_TRUE(Env().machineKeyExists(u"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT"));

    auto again = registry.SHDeleteKeyW(platform::kHkeyLocalMachine, key);
    EXPECT_EQ(again.value, win::kErrorFileNotFound);
}

TEST_F(RegistryKeyTreeContract, UserNameCountsItsTerminatorAndReportsTheSizeNeeded) {
    std::array<char16_t, 260> buffer{};
    std::uint32_t size = 260;
    auto read = registry.GetUserNameW(buffer, size);
    ASSERT_TRUE(read.value) << "error " << read.error;
    ASSERT_GE(size, 2u);
    std::u16string name(buffer.data(), size - 1);
    EXPECT_EQ(buffer[size - 1], u'\0');
    EXPECT_EQ(name.find(u'\0'), std::u16string::npos) << ToUtf8(name);

    std::array<char16_t, 1> small{};
    std::uint32_t smallSize = 1;
    auto tooSmall = registry.GetUserNameW(small, smallSize);
    EXPECT_FALSE(tooSmall.value);
    EXPECT_EQ(tooSmall.error, win::kErrorInsufficientBuffer);
    EXPECT_EQ(smallSize, size);
}

}  // namespace
}  // namespace tw::contract
