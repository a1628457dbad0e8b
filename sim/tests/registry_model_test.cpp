#include "sim/registry_model.h"

#include <gtest/gtest.h>

#include "platform/win_codes.h"

namespace tw::sim {
namespace {

constexpr std::u16string_view kDeviceKey =
    u"SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\VELMORANTE_Tarnwell";

class RegistryModelTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    Trace trace{clock};
    RegistryModel registry{trace};
};

TEST_F(RegistryModelTest, DeleteTreeRemovesSubkeysAndIsRefusedWhileAnyKeyDenies) {
    registry.create(RegistryRoot::LocalMachine, std::u16string(kDeviceKey) + u"\\5&1&1\\Params");
    registry.find(RegistryRoot::LocalMachine, std::u16string(kDeviceKey) + u"\\5&1&1")
        ->deleteDenied = true;
    EXPECT_EQ(registry.deleteTree(RegistryRoot::LocalMachine, kDeviceKey), win::kErrorAccessDenied);
    ASSERT_NE(registry.find(RegistryRoot::LocalMachine, kDeviceKey), nullptr);

    registry.find(RegistryRoot::LocalMachine, std::u16string(kDeviceKey) + u"\\5&1&1")
        ->deleteDenied = false;
    EXPECT_EQ(registry.deleteTree(RegistryRoot::LocalMachine,
                                  u"system\\currentcontrolset\\enum\\"
                                  u"usbprint\\velmorante_tarnwell"),
              0u);
    EXPECT_EQ(registry.find(RegistryRoot::LocalMachine, kDeviceKey), nullptr);
    EXPECT_EQ(registry.deleteTree(RegistryRoot::LocalMachine, kDeviceKey), win::kErrorFileNotFound);
}

TEST_F(RegistryModelTest, StringValuesNeedAnExistingKey) {
    const std::u16string runOnce = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
    std::u16string text = u"\"C:\\Temp\\package Tarnwell\\setup.exe\"";
    std::vector<std::uint8_t> data;
    for (char16_t unit : text + u'\0') {
        data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    EXPECT_EQ(
        registry.setValue(RegistryRoot::LocalMachine, runOnce, u"RestartSetupLaser", {1, data}),
        0u);
    EXPECT_EQ(registry.stringValue(RegistryRoot::LocalMachine, runOnce, u"restartsetuplaser"),
              text);
    EXPECT_EQ(registry.setValue(RegistryRoot::CurrentUser, runOnce, u"x", {1, data}),
              win::kErrorFileNotFound);
}

}  // namespace
}  // namespace tw::sim
