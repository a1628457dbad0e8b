// What the Kernel area's calls of the driver files' removal do: a process
// started without a window, waited for and its exit code read; the
// temporary-files folder; folder creation; the WOW64 functions looked up by
// name. On the simulated machine and on the real system alike.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/tests/contract_env.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::Handle;
using platform::Procedure;
using platform::ProcessInformation;

class KernelProcessesFoldersContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    std::u16string folder = Env().freshFolder();

    Procedure lookUp(std::string_view function) {
        Handle kernel32 = kernel.GetModuleHandleW(u"kernel32").value;
        EXPECT_NE(kernel32, platform::kNullHandle);
        return kernel.GetProcAddress(kernel32, function).value;
    }
};

TEST_F(KernelProcessesFoldersContract, ProcessWithoutAWindowIsWaitedForAndItsExitCodeRead) {
    std::u16string child = folder + u"\\child.exe";
    Env().placeChild(child);
    ASSERT_TRUE(kernel.SetCurrentDirectoryW(folder).value);
    ProcessInformation info;
    auto started =
        kernel.CreateProcessW(u"\"" + child + u"\" sleep 3000", win::kCreateNoWindow, info);
    ASSERT_TRUE(started.value) << "error " << started.error;

    EXPECT_EQ(kernel.WaitForSingleObject(info.process, 20).value, win::kWaitTimeout);
    std::uint32_t code = 0;
    ASSERT_TRUE(kernel.GetExitCodeProcess(info.process, code).value);
    EXPECT_EQ(code, win::kStillActive);
    // A thread handle is not a process handle.
    EXPECT_EQ(kernel.GetExitCodeProcess(info.thread, code).error, win::kErrorInvalidHandle);

    EXPECT_EQ(kernel.WaitForSingleObject(info.process, 10000).value, win::kWaitObject0);
    ASSERT_TRUE(kernel.GetExitCodeProcess(info.process, code).value);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(kernel.CloseHandle(info.process).value);
    EXPECT_TRUE(kernel.CloseHandle(info.thread).value);
    EXPECT_NE(Env().readText(folder + u"\\child_record.txt"), std::nullopt);
}

TEST_F(KernelProcessesFoldersContract, TemporaryFolderEndsInABackslashAndSaysTheSizeItNeeds) {
    std::array<char16_t, 260> buffer{};
    auto length = kernel.GetTempPathW(buffer);
    ASSERT_GT(length.value, 3u);
    ASSERT_LT(length.value, buffer.size());
    std::u16string temp(buffer.data(), length.value);
    EXPECT_EQ(temp.size(), std::u16string(buffer.data()).size());
    EXPECT_EQ(temp.back(), u'\\');

    std::array<char16_t, 3> small{};
    EXPECT_EQ(kernel.GetTempPathW(small).value, length.value + 1);
}

TEST_F(KernelProcessesFoldersContract, FolderCreationReportsAnExistingFolderAndAMissingParent) {
    std::u16string made = folder + u"\\package Tarnwell";
    auto created = kernel.CreateDirectoryW(made);
    EXPECT_TRUE(created.value) << "error " << created.error;
    auto again = kernel.CreateDirectoryW(made);
    EXPECT_FALSE(again.value);
    EXPECT_EQ(again.error, win::kErrorAlreadyExists);
    auto orphan = kernel.CreateDirectoryW(folder + u"\\absent\\package Tarnwell");
    EXPECT_FALSE(orphan.value);
    EXPECT_EQ(orphan.error, win::kErrorPathNotFound);
}

TEST_F(KernelProcessesFoldersContract, IsWow64ProcessTellsA32BitProgramOn64BitWindows) {
    Procedure isWow64Process = lookUp("IsWow64Process");
    ASSERT_NE(isWow64Process, platform::kNoProcedure);
    std::int32_t wow64 = -1;
    auto asked = kernel.IsWow64Process(isWow64Process, kernel.GetCurrentProcess().value, wow64);
    ASSERT_TRUE(asked.value) << "error " << asked.error;
    EXPECT_EQ(wow64, Env().wow64() ? 1 : 0);
}

TEST_F(KernelProcessesFoldersContract, RedirectionIsSwitchedOffAndBackOn) {
    if (!Env().wow64()) {
        GTEST_SKIP() << "only a 32-bit program on 64-bit Windows has redirection to switch off";
    }
    Procedure disable = lookUp("Wow64DisableWow64FsRedirection");
    Procedure revert = lookUp("Wow64RevertWow64FsRedirection");
    ASSERT_NE(disable, platform::kNoProcedure);
    ASSERT_NE(revert, platform::kNoProcedure);
    std::uintptr_t saved = 0;
    EXPECT_TRUE(kernel.Wow64DisableWow64FsRedirection(disable, saved).value);
    EXPECT_TRUE(kernel.Wow64RevertWow64FsRedirection(revert, saved).value);
}

}  // namespace
}  // namespace tw::contract
