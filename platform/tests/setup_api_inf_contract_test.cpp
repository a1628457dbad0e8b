// What the SetupApi area's INF calls do: the information block and its
// sizing, the version query, and the uninstall of an INF of the INF folder.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::kInvalidHandleValue;
using platform::ToUtf8;

// A small UTF-16 INF with a display name in its [Version] section.
std::vector<std::uint8_t> InfBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes{0xFF, 0xFE};
    for (char16_t unit : platform::FromUtf8(text)) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

const std::string kInf =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
    "DriverPackageDisplayName=\"package Tarnwell\"\r\n; Tarn-Well\r\n";

// SetupUninstallOEMInfW as the program reaches it: the setup library loaded
// from the system folder by its full path, the function looked up by name.
struct Uninstaller {
    explicit Uninstaller(platform::Kernel& kernel) : kernel_(kernel) {
        std::array<char16_t, 260> system{};
        std::u16string folder(system.data(), kernel.GetSystemDirectoryW(system).value);
        module = kernel.LoadLibraryW(folder + u"\\setupapi.dll").value;
        if (module != platform::kNullHandle) {
            function = kernel.GetProcAddress(module, "SetupUninstallOEMInfW").value;
        }
    }
    ~Uninstaller() {
        if (module != platform::kNullHandle) {
            kernel_.FreeLibrary(module);
        }
    }
    Uninstaller(const Uninstaller&) = delete;
    Uninstaller& operator=(const Uninstaller&) = delete;

    platform::Handle module = platform::kNullHandle;
    platform::Procedure function = platform::kNoProcedure;

  private:
    platform::Kernel& kernel_;
};

class SetupApiInfContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    platform::SetupApi& setupApi = Env().platform().setupApi;

    // A name no INF of the system has.
    const std::u16string name = u"oem7031.inf";

    std::u16string infFolder() {
        std::array<char16_t, 260> windows{};
        auto length = kernel.GetWindowsDirectoryW(windows).value;
        return std::u16string(windows.data(), length) + u"\\inf";
    }

    void writeFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
        auto file = kernel.CreateFileW(path, win::kGenericWrite, 0, win::kCreateAlways,
                                       win::kFileAttributeNormal);
        ASSERT_NE(file.value, kInvalidHandleValue) << "error " << file.error;
        std::uint32_t written = 0;
        EXPECT_TRUE(kernel.WriteFile(file.value, bytes, written).value);
        EXPECT_TRUE(kernel.CloseHandle(file.value).value);
    }

    bool exists(const std::u16string& path) {
        auto file = kernel.CreateFileW(path, win::kGenericRead, win::kFileShareRead,
                                       win::kOpenExisting, win::kFileAttributeNormal);
        if (file.value == kInvalidHandleValue) {
            return false;
        }
        kernel.CloseHandle(file.value);
        return true;
    }

    void SetUp() override { writeFile(infFolder() + u"\\" + name, InfBytes(kInf)); }
    void TearDown() override {
        kernel.DeleteFileW(infFolder() + u"\\" + name);
        kernel.DeleteFileW(infFolder() + u"\\oem7031.pnf");
    }

    // The information block, sized by a size query first.
    platform::InfInformation information() {
        std::uint32_t size = 0;
        EXPECT_TRUE(
            setupApi.SetupGetInfInformationW(name, win::kInfinfoDefaultSearch, nullptr, 0, size)
                .value);
        platform::InfInformation info;
        EXPECT_TRUE(
            setupApi.SetupGetInfInformationW(name, win::kInfinfoDefaultSearch, &info, size, size)
                .value);
        return info;
    }
};

TEST_F(SetupApiInfContract, InformationIsSizedThenReadByBareName) {
    std::uint32_t size = 0;
    auto sized =
        setupApi.SetupGetInfInformationW(name, win::kInfinfoDefaultSearch, nullptr, 0, size);
    ASSERT_TRUE(sized.value) << "error " << sized.error;
    EXPECT_GT(size, 8u);

    platform::InfInformation info;
    std::uint32_t needed = 0;
    auto small =
        setupApi.SetupGetInfInformationW(name, win::kInfinfoDefaultSearch, &info, size - 1, needed);
    EXPECT_FALSE(small.value);
    EXPECT_EQ(small.error, win::kErrorInsufficientBuffer);

    auto read =
        setupApi.SetupGetInfInformationW(name, win::kInfinfoDefaultSearch, &info, size, needed);
    ASSERT_TRUE(read.value) << "error " << read.error;
    EXPECT_EQ(info.infCount, 1u);
}

TEST_F(SetupApiInfContract, InformationOfAMissingInfFailsWithFileNotFound) {
    std::uint32_t size = 0;
    auto missing = setupApi.SetupGetInfInformationW(u"oem7032.inf", win::kInfinfoDefaultSearch,
                                                    nullptr, 0, size);
    EXPECT_FALSE(missing.value);
    EXPECT_EQ(missing.error, win::kErrorFileNotFound);
}

// An INF whose section name line lacks its bracket cannot be parsed, so its
// information cannot be read.
TEST_F(SetupApiInfContract, InformationOfAnInfSetupCannotParseCannotBeRead) {
    const std::u16string damaged = u"oem7033.inf";
    writeFile(infFolder() + u"\\" + damaged,
              InfBytes("[Version\r\nSignature=\"$Windows NT$\"\r\n; Tarn-Well\r\n"));
    std::uint32_t size = 0;
    auto read =
        setupApi.SetupGetInfInformationW(damaged, win::kInfinfoDefaultSearch, nullptr, 0, size);
    kernel.DeleteFileW(infFolder() + u"\\" + damaged);
    EXPECT_FALSE(read.value);
    if (auto reason = Env().lacks("inf parse error code")) {
        GTEST_SKIP() << "the error code: " << *reason;
    }
    EXPECT_EQ(read.error, 0xE0000001u);  // ERROR_BAD_SECTION_NAME_LINE
}

TEST_F(SetupApiInfContract, VersionEntryIsSizedInCharactersThenRead) {
    if (auto reason = Env().lacks("inf version query")) {
        GTEST_SKIP() << *reason;
    }
    platform::InfInformation info = information();
    std::uint32_t characters = 0;
    auto sized = setupApi.SetupQueryInfVersionInformationW(info, 0, u"DriverPackageDisplayName", {},
                                                           characters);
    ASSERT_TRUE(sized.value) << "error " << sized.error;
    EXPECT_EQ(characters, 17u);  // "package Tarnwell" and its terminator

    std::vector<char16_t> text(characters, u'x');
    auto read = setupApi.SetupQueryInfVersionInformationW(info, 0, u"DriverPackageDisplayName",
                                                          text, characters);
    ASSERT_TRUE(read.value) << "error " << read.error;
    EXPECT_EQ(ToUtf8(std::u16string_view(text.data())), "package Tarnwell");

    auto absent =
        setupApi.SetupQueryInfVersionInformationW(info, 0, u"NoSuchEntry", {}, characters);
    EXPECT_FALSE(absent.value);
}

TEST_F(SetupApiInfContract, UninstallRemovesTheInfOnceThenFindsItGone) {
    Uninstaller uninstaller(kernel);
    ASSERT_NE(uninstaller.function, platform::kNoProcedure);
    auto removed =
        setupApi.SetupUninstallOEMInfW(uninstaller.function, name, win::kSuoiForceDelete);
    EXPECT_TRUE(removed.value) << "error " << removed.error;
    EXPECT_FALSE(exists(infFolder() + u"\\" + name));

    auto again = setupApi.SetupUninstallOEMInfW(uninstaller.function, name, win::kSuoiForceDelete);
    EXPECT_FALSE(again.value);
    EXPECT_EQ(again.error, win::kErrorFileNotFound);
}

TEST_F(SetupApiInfContract, UninstallAlsoRemovesThePrecompiledInf) {
    if (auto reason = Env().lacks("precompiled inf removed on uninstall")) {
        GTEST_SKIP() << *reason;
    }
    writeFile(infFolder() + u"\\oem7031.pnf", {'P', 'N', 'F'});
    Uninstaller uninstaller(kernel);
    ASSERT_NE(uninstaller.function, platform::kNoProcedure);
    EXPECT_TRUE(
        setupApi.SetupUninstallOEMInfW(uninstaller.function, name, win::kSuoiForceDelete).value);
    EXPECT_FALSE(exists(infFolder() + u"\\oem7031.pnf"));
}

}  // namespace
}  // namespace tw::contract
