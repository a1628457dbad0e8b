// What WaitForInputIdle does: a program with a window is waited for until it
// waits for input, once; everything else returns at once.
#include <gtest/gtest.h>

#include <string>

#include "platform/tests/contract_env.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::ProcessInformation;

class KernelIdleContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    std::u16string folder = Env().freshFolder();

    void SetUp() override { ASSERT_TRUE(kernel.SetCurrentDirectoryW(folder).value); }

    ProcessInformation start(std::u16string_view commandLine) {
        ProcessInformation info;
        auto started = kernel.CreateProcessW(commandLine, 0, info);
        EXPECT_TRUE(started.value) << "error " << started.error;
        return info;
    }

    // Waits without limit for the process to end, then closes its handles.
    void finish(const ProcessInformation& info) {
        EXPECT_EQ(kernel.WaitForSingleObject(info.process, win::kInfinite).value,
                  win::kWaitObject0);
        EXPECT_TRUE(kernel.CloseHandle(info.process).value);
        EXPECT_TRUE(kernel.CloseHandle(info.thread).value);
    }

    std::u16string windowChild() {
        std::u16string path = folder + u"\\window child.exe";
        Env().placeWindowChild(path);
        return u"\"" + path + u"\"";
    }
};

TEST_F(KernelIdleContract, NullHandleFailsAtOnceWithInvalidHandle) {
    auto result = kernel.WaitForInputIdle(platform::kNullHandle, win::kInfinite);
    EXPECT_EQ(result.value, win::kWaitFailed);
    EXPECT_EQ(result.error, win::kErrorInvalidHandle);
}

TEST_F(KernelIdleContract, WindowProgramIsWaitedForUntilItsWindowWaitsForInput) {
    ProcessInformation info = start(windowChild() + u" 300 3000");
    auto idle = kernel.WaitForInputIdle(info.process, win::kInfinite);
    EXPECT_EQ(idle.value, 0u) << "error " << idle.error;
    // Its window is up and the program still runs: the wait ended on the
    // window, not on the end of the program.
    EXPECT_EQ(Env().readText(folder + u"\\window_record.txt").value_or(""), "window\n");
    EXPECT_EQ(kernel.WaitForSingleObject(info.process, 0).value, win::kWaitTimeout);
    // A program is waited for only once.
    EXPECT_EQ(kernel.WaitForInputIdle(info.process, 0).value, 0u);
    finish(info);
    // Once it has ended there is nothing to wait for.
    EXPECT_EQ(kernel.WaitForInputIdle(info.process, win::kInfinite).value, win::kWaitFailed);
}

TEST_F(KernelIdleContract, WaitWithATimeLimitTimesOutBeforeTheWindowIsUp) {
    ProcessInformation info = start(windowChild() + u" 1500 0");
    EXPECT_EQ(kernel.WaitForInputIdle(info.process, 100).value, win::kWaitTimeout);
    EXPECT_FALSE(Env().readText(folder + u"\\window_record.txt").has_value());
    finish(info);
}

TEST_F(KernelIdleContract, ProgramWithoutAWindowFailsAtOnce) {
    std::u16string child = folder + u"\\child.exe";
    Env().placeChild(child);
    ProcessInformation info = start(u"\"" + child + u"\" sleep 1000");
    EXPECT_EQ(kernel.WaitForInputIdle(info.process, win::kInfinite).value, win::kWaitFailed);
    EXPECT_EQ(kernel.WaitForSingleObject(info.process, 0).value, win::kWaitTimeout);
    finish(info);
}

}  // namespace
}  // namespace tw::contract
