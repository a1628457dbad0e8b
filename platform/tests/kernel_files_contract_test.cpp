// What the Kernel area's folder, file, memory and module calls do: results and
// error codes, on the simulated machine and on the real system alike.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::Handle;
using platform::kInvalidHandleValue;
using platform::ToUtf8;

class KernelFilesContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    std::u16string folder = Env().freshFolder();

    std::u16string at(std::u16string_view name) { return folder + u"\\" + std::u16string(name); }

    // Writes `bytes` to a new file through the seam.
    void writeFile(std::u16string_view path, std::vector<std::uint8_t> bytes) {
        auto file = kernel.CreateFileW(path, win::kGenericWrite, 0, win::kCreateAlways,
                                       win::kFileAttributeNormal);
        ASSERT_NE(file.value, kInvalidHandleValue) << "error " << file.error;
        std::uint32_t written = 0;
        EXPECT_TRUE(kernel.WriteFile(file.value, bytes, written).value);
        EXPECT_EQ(written, bytes.size());
        EXPECT_TRUE(kernel.CloseHandle(file.value).value);
    }

    Handle openForReading(std::u16string_view path, std::uint32_t share = win::kFileShareRead) {
        return kernel
            .CreateFileW(path, win::kGenericRead, share, win::kOpenExisting,
                         win::kFileAttributeNormal)
            .value;
    }
};

TEST_F(KernelFilesContract, FolderQueriesReportTheSizeNeededWhenTheBufferIsSmall) {
    ASSERT_TRUE(kernel.SetCurrentDirectoryW(folder).value);
    std::array<char16_t, 260> buffer{};
    auto current = kernel.GetCurrentDirectoryW(buffer);
    EXPECT_EQ(ToUtf8(std::u16string_view(buffer.data(), current.value)), ToUtf8(folder));

    std::array<char16_t, 4> small{u'x', u'x', u'x', u'x'};
    auto tooSmall = kernel.GetCurrentDirectoryW(small);
    EXPECT_EQ(tooSmall.value, folder.size() + 1);

    std::array<char16_t, 260> windows{};
    std::array<char16_t, 260> system{};
    auto windowsLength = kernel.GetWindowsDirectoryW(windows).value;
    auto systemLength = kernel.GetSystemDirectoryW(system).value;
    ASSERT_GT(windowsLength, 2u);
    std::u16string windowsFolder(windows.data(), windowsLength);
    std::u16string systemFolder(system.data(), systemLength);
    EXPECT_EQ(ToUtf8(systemFolder.substr(0, windowsFolder.size() + 1)),
              ToUtf8(windowsFolder + u"\\"));
    EXPECT_EQ(kernel.GetSystemDirectoryW(small).value, systemFolder.size() + 1);
}

TEST_F(KernelFilesContract, OpeningAMissingFileFailsWithFileOrPathNotFound) {
    struct Case {
        const char* name;
        std::u16string path;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"missing file", at(u"absent.dos"), win::kErrorFileNotFound},
        {"missing folder", at(u"no such\\absent.dos"), win::kErrorPathNotFound},
    };
    for (const Case& c : cases) {
        auto file = kernel.CreateFileW(c.path, win::kGenericRead, win::kFileShareRead,
                                       win::kOpenExisting, win::kFileAttributeNormal);
        EXPECT_EQ(file.value, kInvalidHandleValue) << c.name;
        EXPECT_EQ(file.error, c.error) << c.name;
    }
}

TEST_F(KernelFilesContract, ReadsDeliverTheFileThenNothingAtItsEnd) {
    std::vector<std::uint8_t> bytes(5000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    writeFile(at(u"table.dos"), bytes);

    Handle file = openForReading(at(u"table.dos"));
    ASSERT_NE(file, kInvalidHandleValue);
    EXPECT_EQ(kernel.GetFileSize(file).value, 5000u);
    std::vector<std::uint8_t> read(8192);
    std::uint32_t got = 0;
    EXPECT_TRUE(kernel.ReadFile(file, read, got).value);
    EXPECT_EQ(got, 5000u);
    read.resize(got);
    EXPECT_EQ(read, bytes);
    std::array<std::uint8_t, 16> more{};
    EXPECT_TRUE(kernel.ReadFile(file, more, got).value);
    EXPECT_EQ(got, 0u);
    // A handle opened for reading refuses writes.
    std::uint32_t written = 7;
    auto write = kernel.WriteFile(file, bytes, written);
    EXPECT_FALSE(write.value);
    EXPECT_EQ(write.error, win::kErrorAccessDenied);
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(kernel.CloseHandle(file).value);
}

TEST_F(KernelFilesContract, ReadsWritesAndSizesOnANullHandleFailWithInvalidHandle) {
    std::array<std::uint8_t, 10> bytes{};
    std::uint32_t count = 0;
    auto write = kernel.WriteFile(platform::kNullHandle, bytes, count);
    EXPECT_FALSE(write.value);
    EXPECT_EQ(write.error, win::kErrorInvalidHandle);
    auto read = kernel.ReadFile(platform::kNullHandle, bytes, count);
    EXPECT_FALSE(read.value);
    EXPECT_EQ(read.error, win::kErrorInvalidHandle);
    auto size = kernel.GetFileSize(platform::kNullHandle);
    EXPECT_EQ(size.value, win::kInvalidFileSize);
    EXPECT_EQ(size.error, win::kErrorInvalidHandle);
}

TEST_F(KernelFilesContract, DeletionFailsWithTheCodesOfEachObstacle) {
    writeFile(at(u"plain.dll"), {1});
    writeFile(at(u"locked.dll"), {2});
    writeFile(at(u"busy.dll"), {3});
    ASSERT_TRUE(kernel.SetFileAttributesW(at(u"locked.dll"), win::kFileAttributeReadonly).value);
    Handle held = openForReading(at(u"busy.dll"));
    ASSERT_NE(held, kInvalidHandleValue);

    struct Case {
        const char* name;
        std::u16string path;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"plain", at(u"plain.dll"), 0},
        {"missing file", at(u"absent.dll"), win::kErrorFileNotFound},
        {"missing folder", at(u"3\\absent.dll"), win::kErrorPathNotFound},
        {"read-only", at(u"locked.dll"), win::kErrorAccessDenied},
        {"held open without delete sharing", at(u"busy.dll"), win::kErrorSharingViolation},
    };
    for (const Case& c : cases) {
        auto deleted = kernel.DeleteFileW(c.path);
        EXPECT_EQ(deleted.value, c.error == 0) << c.name;
        if (c.error != 0) {
            EXPECT_EQ(deleted.error, c.error) << c.name;
        }
    }
    // Resetting the attributes clears read-only; closing the handle frees the file.
    EXPECT_TRUE(kernel.SetFileAttributesW(at(u"locked.dll"), win::kFileAttributeArchive).value);
    EXPECT_TRUE(kernel.DeleteFileW(at(u"locked.dll")).value);
    EXPECT_TRUE(kernel.CloseHandle(held).value);
    EXPECT_TRUE(kernel.DeleteFileW(at(u"busy.dll")).value);
    auto missing = kernel.SetFileAttributesW(at(u"absent.dll"), win::kFileAttributeArchive);
    EXPECT_FALSE(missing.value);
    EXPECT_EQ(missing.error, win::kErrorFileNotFound);
}

TEST_F(KernelFilesContract, ZeroFilledGlobalBlockIsZeroAndFreesToNull) {
    auto block = kernel.GlobalAlloc(win::kGptr, 4097);
    ASSERT_NE(block.value, nullptr);
    for (std::size_t i = 0; i < 4097; ++i) {
        ASSERT_EQ(block.value[i], 0u) << i;
    }
    EXPECT_EQ(kernel.GlobalFree(block.value).value, nullptr);
}

TEST_F(KernelFilesContract, FunctionsLookedUpByNameAreFoundOrReportedMissing) {
    auto kernel32 = kernel.GetModuleHandleW(u"kernel32");
    ASSERT_NE(kernel32.value, platform::kNullHandle);
    EXPECT_NE(kernel.GetProcAddress(kernel32.value, "IsWow64Process").value,
              platform::kNoProcedure);
    auto missing = kernel.GetProcAddress(kernel32.value, "NoSuchFunctionHere");
    EXPECT_EQ(missing.value, platform::kNoProcedure);
    EXPECT_EQ(missing.error, win::kErrorProcNotFound);

    std::array<char16_t, 260> system{};
    std::u16string path(system.data(), kernel.GetSystemDirectoryW(system).value);
    auto setupapi = kernel.LoadLibraryW(path + u"\\setupapi.dll");
    ASSERT_NE(setupapi.value, platform::kNullHandle) << "error " << setupapi.error;
    EXPECT_NE(kernel.GetProcAddress(setupapi.value, "SetupUninstallOEMInfW").value,
              platform::kNoProcedure);
    EXPECT_TRUE(kernel.FreeLibrary(setupapi.value).value);

    auto absent = kernel.LoadLibraryW(folder + u"\\absent.dll");
    EXPECT_EQ(absent.value, platform::kNullHandle);
    EXPECT_EQ(absent.error, win::kErrorModNotFound);
}

}  // namespace
}  // namespace tw::contract
