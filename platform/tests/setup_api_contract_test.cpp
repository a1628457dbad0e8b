// What the SetupApi area's device-interface calls do: the list of present USB
// printers, the enumeration's end, and the two-step detail query with the
// 32-bit record sizes, on the simulated machine and on the real system alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::DeviceInfoSet;
using platform::DeviceInterfaceData;
using platform::ToUtf8;

// Letter case of paths varies between systems; Windows compares them without it.
std::string Folded(std::u16string_view text) {
    std::string out = ToUtf8(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

class SetupApiContract : public ::testing::Test {
  protected:
    platform::SetupApi& setupApi = Env().platform().setupApi;

    static DeviceInterfaceData Record() {
        DeviceInterfaceData data;
        data.size = win::kSpDeviceInterfaceDataSize;
        return data;
    }

    // A detail buffer of `bytes` with its size field set to `sizeField`.
    static std::vector<std::uint8_t> DetailBuffer(std::size_t bytes, std::uint32_t sizeField) {
        std::vector<std::uint8_t> buffer(bytes, 0xEE);
        for (std::size_t i = 0; i < 4 && i < bytes; ++i) {
            buffer[i] = static_cast<std::uint8_t>(sizeField >> (8 * i));
        }
        return buffer;
    }

    static std::uint32_t SizeField(const std::vector<std::uint8_t>& buffer) {
        return buffer[0] | (buffer[1] << 8) | (buffer[2] << 16) |
               (static_cast<std::uint32_t>(buffer[3]) << 24);
    }

    // The path a filled record holds, up to its terminator.
    static std::u16string PathIn(const std::vector<std::uint8_t>& buffer) {
        std::u16string path;
        for (std::size_t at = win::kSpDeviceInterfaceDetailPathOffset; at + 1 < buffer.size();
             at += 2) {
            auto unit = static_cast<char16_t>(buffer[at] | (buffer[at + 1] << 8));
            if (unit == u'\0') {
                break;
            }
            path.push_back(unit);
        }
        return path;
    }
};

TEST_F(SetupApiContract, PresentUsbPrintersOfAMachineWithoutThemListNothing) {
    auto list = setupApi.SetupDiGetClassDevsW(win::kGuidDevinterfaceUsbprint,
                                              win::kDigcfPresent | win::kDigcfDeviceinterface);
    ASSERT_NE(list.value, platform::kInvalidDeviceInfoSet) << "error " << list.error;
    DeviceInterfaceData data = Record();
    auto first =
        setupApi.SetupDiEnumDeviceInterfaces(list.value, win::kGuidDevinterfaceUsbprint, 0, data);
    EXPECT_FALSE(first.value);
    EXPECT_EQ(first.error, win::kErrorNoMoreItems);
    EXPECT_TRUE(setupApi.SetupDiDestroyDeviceInfoList(list.value).value);
}

TEST_F(SetupApiContract, DestroyingNoListFailsWithInvalidHandle) {
    auto destroyed = setupApi.SetupDiDestroyDeviceInfoList(platform::kInvalidDeviceInfoSet);
    EXPECT_FALSE(destroyed.value);
    EXPECT_EQ(destroyed.error, win::kErrorInvalidHandle);
}

TEST_F(SetupApiContract, DetailQueryReportsTheSizeThenFillsThePath) {
    std::u16string path;
    DeviceInfoSet list = Env().interfaceList(path);
    ASSERT_FALSE(path.empty());
    DeviceInterfaceData data = Record();
    ASSERT_TRUE(
        setupApi.SetupDiEnumDeviceInterfaces(list, win::kGuidDevinterfaceUsbprint, 0, data).value);
    EXPECT_EQ(data.size, win::kSpDeviceInterfaceDataSize);
    EXPECT_TRUE(data.interfaceClass == win::kGuidDevinterfaceUsbprint);
    DeviceInterfaceData past = Record();
    auto second =
        setupApi.SetupDiEnumDeviceInterfaces(list, win::kGuidDevinterfaceUsbprint, 1, past);
    EXPECT_FALSE(second.value);
    EXPECT_EQ(second.error, win::kErrorNoMoreItems);

    // The size query: the fixed part up to the path, the path and its terminator.
    const auto expected =
        static_cast<std::uint32_t>(win::kSpDeviceInterfaceDetailPathOffset + 2 * (path.size() + 1));
    std::uint32_t required = 0;
    auto query = setupApi.SetupDiGetDeviceInterfaceDetailW(list, data, {}, required);
    EXPECT_FALSE(query.value);
    EXPECT_EQ(query.error, win::kErrorInsufficientBuffer);
    EXPECT_EQ(required, expected);

    struct Case {
        const char* name;
        std::size_t bytes;
        std::uint32_t sizeField;
        bool ok;
        std::uint32_t error;
        std::uint32_t required;  // what the call leaves in the required size
    };
    const Case cases[] = {
        {"one unit short", expected - 2, win::kSpDeviceInterfaceDetailDataSize, false,
         win::kErrorInsufficientBuffer, expected},
        {"size field not the fixed part's", expected, 0, false, win::kErrorInvalidUserBuffer, 77},
        {"exact size", expected, win::kSpDeviceInterfaceDetailDataSize, true, 0, expected},
        {"larger buffer", expected + 40, win::kSpDeviceInterfaceDetailDataSize, true, 0, expected},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> buffer = DetailBuffer(c.bytes, c.sizeField);
        std::uint32_t reported = 77;
        auto filled = setupApi.SetupDiGetDeviceInterfaceDetailW(list, data, buffer, reported);
        EXPECT_EQ(filled.value, c.ok) << c.name;
        if (!c.ok) {
            EXPECT_EQ(filled.error, c.error) << c.name;
        }
        EXPECT_EQ(reported, c.required) << c.name;
        EXPECT_EQ(SizeField(buffer), c.sizeField) << c.name;
        if (c.ok) {
            EXPECT_EQ(Folded(PathIn(buffer)), Folded(path)) << c.name;
            EXPECT_EQ(PathIn(buffer).size(), path.size()) << c.name;
        }
    }
    EXPECT_TRUE(setupApi.SetupDiDestroyDeviceInfoList(list).value);
}

}  // namespace
}  // namespace tw::contract
