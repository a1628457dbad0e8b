// What SetupCopyOEMInfW does: an INF copied into the system's INF folder is
// published there and found again by a second copy; an INF that cannot be
// read fails with the file's error code.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::ToUtf8;

constexpr std::string_view kInfText =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
    "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\r\nProvider=Tarnwell\r\n\r\n"
    "[Strings]\r\nModel=\"Tarn-Well\"\r\n";

char16_t Fold(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t at = 0; at < prefix.size(); ++at) {
        if (Fold(text[at]) != Fold(prefix[at])) {
            return false;
        }
    }
    return true;
}

// "oem", decimal digits, ".inf", in any letter case.
bool IsPublishedName(std::u16string_view name) {
    if (name.size() < 8 || !StartsWithNoCase(name, u"oem") ||
        !StartsWithNoCase(name.substr(name.size() - 4), u".inf")) {
        return false;
    }
    for (char16_t unit : name.substr(3, name.size() - 7)) {
        if (unit < u'0' || unit > u'9') {
            return false;
        }
    }
    return true;
}

class SetupApiCopyContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    platform::SetupApi& setupApi = Env().platform().setupApi;
    std::u16string folder = Env().freshFolder();

    void writeFile(std::u16string_view path, std::string_view text) {
        auto file = kernel.CreateFileW(path, win::kGenericWrite, 0, win::kCreateAlways,
                                       win::kFileAttributeNormal);
        ASSERT_NE(file.value, platform::kInvalidHandleValue) << "error " << file.error;
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        std::uint32_t written = 0;
        EXPECT_TRUE(kernel.WriteFile(file.value, bytes, written).value);
        EXPECT_TRUE(kernel.CloseHandle(file.value).value);
    }

    // The INF folder: the Windows folder and "\inf\".
    std::u16string infFolder() {
        std::array<char16_t, 260> windows{};
        auto length = kernel.GetWindowsDirectoryW(windows);
        return std::u16string(windows.data(), length.value) + u"\\inf\\";
    }

    platform::Result<bool> copy(std::u16string_view inf, std::span<char16_t> destination,
                                std::uint32_t& required, std::size_t& namePart) {
        return setupApi.SetupCopyOEMInfW(inf, win::kSpostPath, 0, destination, required, namePart);
    }
};

TEST_F(SetupApiCopyContract, InfIsPublishedInTheInfFolderAndFoundAgain) {
    // A name of this run's own, so that no earlier run's copy is found.
    std::u16string ownName = folder.substr(folder.rfind(u'\\') + 1);
    for (char16_t& unit : ownName) {
        unit = unit == u' ' ? u'_' : unit;
    }
    std::u16string inf = folder + u"\\" + ownName + u".inf";
    writeFile(inf, kInfText);

    std::array<char16_t, 5> small{};
    std::uint32_t required = 0;
    std::size_t namePart = 0;
    auto tooSmall = copy(inf, small, required, namePart);
    EXPECT_FALSE(tooSmall.value);
    EXPECT_EQ(tooSmall.error, win::kErrorInsufficientBuffer);

    std::array<char16_t, 260> destination{};
    std::uint32_t requiredNow = 0;
    auto copied = copy(inf, destination, requiredNow, namePart);
    ASSERT_TRUE(copied.value) << "error " << copied.error;
    std::u16string published(destination.data());
    EXPECT_EQ(requiredNow, published.size() + 1);
    EXPECT_EQ(required, requiredNow);
    EXPECT_TRUE(StartsWithNoCase(published, infFolder())) << ToUtf8(published);
    ASSERT_LE(namePart, published.size());
    std::u16string name = published.substr(namePart);
    EXPECT_EQ(published.substr(0, namePart), published.substr(0, published.rfind(u'\\') + 1));
    EXPECT_EQ(Env().readText(published).value_or(""), kInfText);
    std::u16string pnf = published.substr(0, published.size() - 3) + u"pnf";
    EXPECT_TRUE(Env().readText(pnf).has_value());

    // Copied again, the same INF keeps the name it has.
    std::array<char16_t, 260> again{};
    ASSERT_TRUE(copy(inf, again, requiredNow, namePart).value);
    EXPECT_EQ(ToUtf8(again.data()), ToUtf8(published));

    EXPECT_TRUE(kernel.DeleteFileW(published).value);
    EXPECT_TRUE(kernel.DeleteFileW(pnf).value);
    if (auto reason = Env().lacks("published oemN.inf names")) {
        GTEST_SKIP() << *reason;
    }
    EXPECT_TRUE(IsPublishedName(name)) << ToUtf8(name);
}

TEST_F(SetupApiCopyContract, InfThatCannotBeReadFailsWithItsFileError) {
    struct Case {
        std::u16string path;
        std::uint32_t error;
    };
    const Case cases[] = {
        {folder + u"\\kelvra.inf", win::kErrorFileNotFound},
        {folder + u"\\absent\\kelvra.inf", win::kErrorPathNotFound},
        {folder, win::kErrorAccessDenied},
    };
    for (const Case& c : cases) {
        std::array<char16_t, 260> destination{};
        std::uint32_t required = 0;
        std::size_t namePart = 0;
        auto result = copy(c.path, destination, required, namePart);
        EXPECT_FALSE(result.value) << ToUtf8(c.path);
        EXPECT_EQ(result.error, c.error) << ToUtf8(c.path);
    }
}

}  // namespace
}  // namespace tw::contract
