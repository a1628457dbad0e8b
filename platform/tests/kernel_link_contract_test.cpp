// What CreateFileW does with the arguments the engraver link opens its
// device with (read and write, read sharing, OPEN_ALWAYS, sequential scan):
// on a device path with no device behind it, and on an ordinary file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::Handle;
using platform::kInvalidHandleValue;

constexpr std::uint32_t kLinkAccess = win::kGenericRead | win::kGenericWrite;
constexpr std::uint32_t kLinkFlags = win::kFileFlagSequentialScan | win::kFileAttributeNormal;

class KernelLinkContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    std::u16string folder = Env().freshFolder();

    platform::Result<Handle> openAsLink(std::u16string_view path) {
        return kernel.CreateFileW(path, kLinkAccess, win::kFileShareRead, win::kOpenAlways,
                                  kLinkFlags);
    }
};

TEST_F(KernelLinkContract, AbsentUsbPrinterInterfaceIsNotFound) {
    auto link =
        openAsLink(u"\\\\?\\usb#vid_fffd&pid_0001#tw0001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
    EXPECT_EQ(link.value, kInvalidHandleValue);
    EXPECT_EQ(link.error, win::kErrorFileNotFound);
}

TEST_F(KernelLinkContract, LinkFlagsOnAFileCreateItOrOpenItAndItKeepsWhatWasWritten) {
    std::u16string path = folder + u"\\link.bin";
    auto created = openAsLink(path);
    ASSERT_NE(created.value, kInvalidHandleValue) << "error " << created.error;
    EXPECT_EQ(created.error, 0u);
    const std::array<std::uint8_t, 10> query{'!', 'B', 'E', ' ', '4', ';', 0, 0, 0, 1};
    std::uint32_t written = 0;
    EXPECT_TRUE(kernel.WriteFile(created.value, query, written).value);
    EXPECT_EQ(written, query.size());
    EXPECT_TRUE(kernel.CloseHandle(created.value).value);

    // Opened again: it exists, and a read from its start gives the bytes back.
    auto opened = openAsLink(path);
    ASSERT_NE(opened.value, kInvalidHandleValue);
    EXPECT_EQ(opened.error, win::kErrorAlreadyExists);
    std::array<std::uint8_t, 260> reply{};
    std::uint32_t delivered = 0;
    EXPECT_TRUE(kernel.ReadFile(opened.value, reply, delivered).value);
    ASSERT_EQ(delivered, query.size());
    EXPECT_TRUE(std::equal(query.begin(), query.end(), reply.begin()));
    EXPECT_EQ(kernel.GetFileSize(opened.value).value, query.size());
    EXPECT_TRUE(kernel.CloseHandle(opened.value).value);
}

}  // namespace
}  // namespace tw::contract
