// What the Registry area's calls do: statuses, on the simulated machine and
// on the real system alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::KeyHandle;
using platform::ToUtf8;

constexpr std::u16string_view kRunOnce = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr std::uint32_t kKeyQueryValue = 0x0001;

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : std::u16string(text) + u'\0') {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

class RegistryContract : public ::testing::Test {
  protected:
    platform::Registry& registry = Env().platform().registry;
    // A value of this test's own. Its data names no program, so a run of the
    // entries at a later logon does nothing.
    std::u16string valueName = u"TarnwellContract";

    void TearDown() override { Env().deleteRegistryValue(kRunOnce, valueName); }
};

TEST_F(RegistryContract, RunOnceTakesAStringValueThroughAKeyOpenedToSetValues) {
    KeyHandle key{};
    auto opened =
        registry.RegOpenKeyExW(platform::kHkeyLocalMachine, kRunOnce, win::kKeySetValue, key);
    ASSERT_EQ(opened.value, win::kErrorSuccess);
    std::u16string text = u"\"C:\\no such folder\\package Tarnwell\\setup.exe\"";
    EXPECT_EQ(registry.RegSetValueExW(key, valueName, win::kRegSz, Utf16Bytes(text)).value,
              win::kErrorSuccess);
    EXPECT_EQ(registry.RegCloseKey(key).value, win::kErrorSuccess);
    EXPECT_EQ(ToUtf8(Env().registryString(kRunOnce, valueName).value_or(u"<none>")), ToUtf8(text));
}

TEST_F(RegistryContract, OpeningAMissingKeyFailsWithFileNotFound) {
    KeyHandle key{};
    auto opened = registry.RegOpenKeyExW(
        platform::kHkeyLocalMachine, u"Software\\Tarnwell contract absent", win::kKeySetValue, key);
    EXPECT_EQ(opened.value, win::kErrorFileNotFound);
    EXPECT_EQ(opened.error, win::kErrorFileNotFound);
}

TEST_F(RegistryContract, SettingThroughAKeyOpenedOnlyToReadIsDenied) {
    KeyHandle key{};
    ASSERT_EQ(
        registry.RegOpenKeyExW(platform::kHkeyLocalMachine, kRunOnce, kKeyQueryValue, key).value,
        win::kErrorSuccess);
    EXPECT_EQ(registry.RegSetValueExW(key, valueName, win::kRegSz, Utf16Bytes(u"x")).value,
              win::kErrorAccessDenied);
    EXPECT_EQ(registry.RegCloseKey(key).value, win::kErrorSuccess);
    EXPECT_FALSE(Env().registryString(kRunOnce, valueName).has_value());
}

}  // namespace
}  // namespace tw::contract
