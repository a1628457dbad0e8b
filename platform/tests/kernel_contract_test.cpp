// What the Kernel area's calls do: results and error codes, on the simulated
// machine and on the real system alike.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::ProcessInformation;
using platform::ToUtf8;

class KernelContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    std::u16string folder = Env().freshFolder();

    // Starts `commandLine` and waits for it without limit; closes its handles.
    void runToEnd(std::u16string_view commandLine) {
        ProcessInformation info;
        auto started = kernel.CreateProcessW(commandLine, 0, info);
        ASSERT_TRUE(started.value) << "error " << started.error;
        EXPECT_EQ(kernel.WaitForSingleObject(info.process, win::kInfinite).value,
                  win::kWaitObject0);
        EXPECT_TRUE(kernel.CloseHandle(info.process).value);
        EXPECT_TRUE(kernel.CloseHandle(info.thread).value);
    }

    // What the children started in `where` recorded there.
    std::string childRecord(std::u16string_view where) {
        auto text = Env().readText(std::u16string(where) + u"\\child_record.txt");
        return text.value_or("<no record>");
    }
};

TEST_F(KernelContract, StartingAMissingProgramFailsWithFileNotFound) {
    ProcessInformation info{platform::Handle{1}, platform::Handle{2}, 3, 4};
    auto result = kernel.CreateProcessW(u"\"" + folder + u"\\absent.exe\" x", 0, info);
    EXPECT_FALSE(result.value);
    EXPECT_EQ(result.error, win::kErrorFileNotFound);
    EXPECT_EQ(info.process, platform::kNullHandle);
    EXPECT_EQ(info.thread, platform::kNullHandle);
}

TEST_F(KernelContract, StartingAProgramInAMissingFolderAlsoFailsWithFileNotFound) {
    ProcessInformation info;
    auto result = kernel.CreateProcessW(u"\"" + folder + u"\\no such\\absent.exe\"", 0, info);
    EXPECT_FALSE(result.value);
    EXPECT_EQ(result.error, win::kErrorFileNotFound);
}

TEST_F(KernelContract, NullHandleWaitAndCloseFailAtOnceWithInvalidHandle) {
    auto timed = kernel.WaitForSingleObject(platform::kNullHandle, 0);
    EXPECT_EQ(timed.value, win::kWaitFailed);
    EXPECT_EQ(timed.error, win::kErrorInvalidHandle);
    auto endless = kernel.WaitForSingleObject(platform::kNullHandle, win::kInfinite);
    EXPECT_EQ(endless.value, win::kWaitFailed);
    EXPECT_EQ(endless.error, win::kErrorInvalidHandle);
    auto closed = kernel.CloseHandle(platform::kNullHandle);
    EXPECT_FALSE(closed.value);
    EXPECT_EQ(closed.error, win::kErrorInvalidHandle);
}

TEST_F(KernelContract, QuotedProgramPathWithBlanksRunsThatProgram) {
    Env().makeFolder(folder + u"\\package Tarnwell");
    std::u16string child = folder + u"\\package Tarnwell\\child.exe";
    Env().placeChild(child);
    Env().placeChild(folder + u"\\package.exe");
    ASSERT_TRUE(kernel.SetCurrentDirectoryW(folder).value);
    std::u16string command = u"\"" + child + u"\" silent";
    runToEnd(command);
    EXPECT_EQ(childRecord(folder), ToUtf8(child + u"|" + folder + u"|" + command) + "\n");
}

TEST_F(KernelContract, UnquotedProgramPathRunsTheProgramNamedBeforeTheFirstBlank) {
    Env().makeFolder(folder + u"\\package Tarnwell");
    Env().placeChild(folder + u"\\package Tarnwell\\child.exe");
    std::u16string stray = folder + u"\\package.exe";
    Env().placeChild(stray);
    ASSERT_TRUE(kernel.SetCurrentDirectoryW(folder).value);
    std::u16string command = folder + u"\\package Tarnwell\\child.exe silent";
    runToEnd(command);
    std::string expected = ToUtf8(stray + u"|" + folder + u"|");
    std::string record = childRecord(folder);
    EXPECT_EQ(record.substr(0, expected.size()), expected);
    if (auto reason = Env().lacks("verbatim command line")) {
        GTEST_SKIP() << *reason;
    }
    EXPECT_EQ(record, expected + ToUtf8(command) + "\n");
}

TEST_F(KernelContract, ChildInheritsTheCurrentFolder) {
    Env().makeFolder(folder + u"\\root");
    std::u16string child = folder + u"\\root\\child.exe";
    Env().placeChild(child);
    ASSERT_TRUE(kernel.SetCurrentDirectoryW(folder + u"\\root").value);
    runToEnd(u"\"" + child + u"\"");
    EXPECT_EQ(childRecord(folder + u"\\root"),
              ToUtf8(child + u"|" + folder + u"\\root|\"" + child + u"\"") + "\n");
}

TEST_F(KernelContract, SettingAMissingCurrentFolderFailsWithFileNotFound) {
    auto result = kernel.SetCurrentDirectoryW(folder + u"\\absent");
    EXPECT_FALSE(result.value);
    EXPECT_EQ(result.error, win::kErrorFileNotFound);
}

TEST_F(KernelContract, WaitWithATimeLimitTimesOutOnARunningProcess) {
    std::u16string child = folder + u"\\child.exe";
    Env().placeChild(child);
    ASSERT_TRUE(kernel.SetCurrentDirectoryW(folder).value);
    ProcessInformation info;
    ASSERT_TRUE(kernel.CreateProcessW(u"\"" + child + u"\" sleep 3000", 0, info).value);
    EXPECT_NE(info.processId, 0u);
    EXPECT_EQ(kernel.WaitForSingleObject(info.process, 20).value, win::kWaitTimeout);
    EXPECT_EQ(kernel.WaitForSingleObject(info.process, win::kInfinite).value, win::kWaitObject0);
    EXPECT_TRUE(kernel.CloseHandle(info.process).value);
    EXPECT_TRUE(kernel.CloseHandle(info.thread).value);
    // A closed handle is no longer valid.
    EXPECT_EQ(kernel.CloseHandle(info.process).error, win::kErrorInvalidHandle);
}

TEST_F(KernelContract, ModuleFileNameIsCutToATooSmallBuffer) {
    std::array<char16_t, 260> full{};
    auto length = kernel.GetModuleFileNameW(full);
    ASSERT_GT(length.value, 4u);
    std::u16string path(full.data(), length.value);
    EXPECT_EQ(ToUtf8(path.substr(path.size() - 4)), ".exe");

    std::array<char16_t, 5> small{};
    auto cut = kernel.GetModuleFileNameW(small);
    EXPECT_EQ(cut.value, 5u);
    EXPECT_EQ(cut.error, win::kErrorInsufficientBuffer);
    EXPECT_EQ(std::u16string(small.data(), 4), path.substr(0, 4));
    if (auto reason = Env().lacks("terminated cut module name")) {
        GTEST_SKIP() << *reason;
    }
    EXPECT_EQ(small[4], u'\0');
}

}  // namespace
}  // namespace tw::contract
