#include "sim/process_table.h"

#include <gtest/gtest.h>

#include "platform/win_codes.h"

namespace tw::sim {
namespace {

class ProcessTableTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    Trace trace{clock};
    FileSystem files{trace};
    ProcessTable table{clock, trace, files};
    ProgramSearch search{
        u"C:\\Pkg\\Systems\\Install.exe", u"C:\\Pkg", {u"C:\\Windows\\System32", u"C:\\Windows"}};

    void SetUp() override {
        table.addSimpleProgram(u"C:\\Temp\\package Tarnwell\\Systems\\Install.exe", 0);
        table.addSimpleProgram(u"C:\\Windows\\System32\\xcopy.exe", 0);
        table.addSimpleProgram(u"C:\\Windows\\System32\\rundll32.exe", 0);
        table.addSimpleProgram(u"C:\\Pkg\\systems\\Config.exe", 0);
        files.addFile(u"C:\\Pkg\\readme.txt");
    }
};

struct ResolveCase {
    const char* name;
    std::u16string commandLine;
    std::u16string image;  // empty: fails
    std::u16string arguments;
    std::uint32_t error = 0;
};

TEST_F(ProcessTableTest, FindsTheProgramAtTheHeadOfTheCommandLine) {
    const ResolveCase cases[] = {
        {"quoted with blank", u"\"C:\\Temp\\package Tarnwell\\Systems\\Install.exe\" silent",
         u"C:\\Temp\\package Tarnwell\\Systems\\Install.exe", u"silent"},
        {"unquoted with blank", u"C:\\Temp\\package Tarnwell\\Systems\\Install.exe silent",
         u"C:\\Temp\\package Tarnwell\\Systems\\Install.exe", u"silent"},
        {"searched in the system folder", u"xcopy \"a\" \"b\" /E/R/Y",
         u"C:\\Windows\\System32\\xcopy.exe", u"\"a\" \"b\" /E/R/Y"},
        {"extension added", u"C:\\Windows\\System32\\rundll32 printui.dll,PrintUIEntry /p",
         u"C:\\Windows\\System32\\rundll32.exe", u"printui.dll,PrintUIEntry /p"},
        {"relative to the current folder", u"systems\\Config.exe -on x",
         u"C:\\Pkg\\systems\\Config.exe", u"-on x"},
        {"missing program", u"C:\\Pkg\\Systems\\Install.exe ", {}, {}, win::kErrorFileNotFound},
        {"missing folder", u"\"C:\\Nowhere\\Install.exe\"", {}, {}, win::kErrorFileNotFound},
        {"not a program", u"C:\\Pkg\\readme.txt", {}, {}, win::kErrorBadExeFormat},
    };
    for (const ResolveCase& c : cases) {
        std::uint32_t error = 0;
        auto found = table.resolve(c.commandLine, search, error);
        if (c.image.empty()) {
            EXPECT_FALSE(found.has_value()) << c.name;
            EXPECT_EQ(error, c.error) << c.name;
        } else {
            ASSERT_TRUE(found.has_value()) << c.name;
            EXPECT_EQ(found->image, c.image) << c.name;
            EXPECT_EQ(found->arguments, c.arguments) << c.name;
        }
    }
}

TEST_F(ProcessTableTest, UnquotedPathPrefersAProgramNamedAfterTheTextBeforeTheBlank) {
    table.addSimpleProgram(u"C:\\Temp\\package.exe", 0);
    std::uint32_t error = 0;
    auto found =
        table.resolve(u"C:\\Temp\\package Tarnwell\\Systems\\Install.exe silent", search, error);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->image, u"C:\\Temp\\package.exe");
    EXPECT_EQ(found->arguments, u"Tarnwell\\Systems\\Install.exe silent");
}

TEST_F(ProcessTableTest, ProcessEndsAfterItsRunTimeAndRunsItsEffect) {
    bool effect = false;
    table.addProgram(u"C:\\Windows\\System32\\net.exe", [&](const ProcessLaunch& launch) {
        EXPECT_EQ(launch.arguments, u"stop spooler");
        ProgramRun run;
        run.runTime = 300;
        run.exitCode = 2;
        run.atExit = [&] { effect = true; };
        return run;
    });
    std::uint32_t error = 0;
    auto found = table.resolve(u"C:\\Windows\\System32\\net.exe stop spooler", search, error);
    ASSERT_TRUE(found.has_value());
    auto process =
        table.start({found->image, u"net.exe stop spooler", found->arguments, u"C:\\Pkg", 0});
    clock.advanceBy(299);
    EXPECT_TRUE(process->running());
    clock.advanceBy(1);
    EXPECT_FALSE(process->running());
    EXPECT_EQ(process->exitCode, 2u);
    EXPECT_TRUE(effect);
}

}  // namespace
}  // namespace tw::sim
