// What the Kernel area's file search does: the entries matching a pattern,
// the normal end, and the codes of a search that finds nothing.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::kInvalidHandleValue;
using platform::ToUtf8;

class KernelFindContract : public ::testing::Test {
  protected:
    platform::Kernel& kernel = Env().platform().kernel;
    std::u16string folder = Env().freshFolder();

    void placeFile(std::u16string_view name) {
        auto file = kernel.CreateFileW(folder + u"\\" + std::u16string(name), win::kGenericWrite, 0,
                                       win::kCreateAlways, win::kFileAttributeNormal);
        ASSERT_NE(file.value, kInvalidHandleValue) << "error " << file.error;
        EXPECT_TRUE(kernel.CloseHandle(file.value).value);
    }
};

TEST_F(KernelFindContract, FindsTheMatchingEntriesThenEndsWithNoMoreFiles) {
    for (std::u16string_view name : {u"oem1.inf", u"OEM22.INF", u"other.inf", u"oem1.pnf"}) {
        placeFile(name);
    }
    platform::FindData found;
    auto search = kernel.FindFirstFileW(folder + u"\\oem*.inf", found);
    ASSERT_NE(search.value, kInvalidHandleValue) << "error " << search.error;
    // The order is the file system's: only the set of names is compared.
    std::set<std::string> names{ToUtf8(found.fileName)};
    EXPECT_EQ(found.attributes & win::kFileAttributeDirectory, 0u);
    for (;;) {
        auto next = kernel.FindNextFileW(search.value, found);
        if (!next.value) {
            EXPECT_EQ(next.error, win::kErrorNoMoreFiles);
            break;
        }
        names.insert(ToUtf8(found.fileName));
    }
    EXPECT_EQ(names, (std::set<std::string>{"oem1.inf", "OEM22.INF"}));
    EXPECT_TRUE(kernel.FindClose(search.value).value);
}

TEST_F(KernelFindContract, SearchThatFindsNothingFailsWithFileOrPathNotFound) {
    placeFile(u"kelvra.inf");
    struct Case {
        const char* name;
        std::u16string pattern;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"no match", folder + u"\\oem*.inf", win::kErrorFileNotFound},
        {"missing folder", folder + u"\\inf\\oem*.inf", win::kErrorPathNotFound},
    };
    for (const Case& c : cases) {
        platform::FindData found;
        auto search = kernel.FindFirstFileW(c.pattern, found);
        EXPECT_EQ(search.value, kInvalidHandleValue) << c.name;
        EXPECT_EQ(search.error, c.error) << c.name;
    }
}

}  // namespace
}  // namespace tw::contract
