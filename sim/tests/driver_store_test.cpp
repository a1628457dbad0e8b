#include "sim/driver_store.h"

#include <gtest/gtest.h>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

class DriverStoreTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    Trace trace{clock};
    FileSystem files{trace};
    DriverStore store{files, trace, u"C:\\Windows\\inf"};

    void SetUp() override {
        files.addFolders(u"C:\\Windows\\inf");
        files.addTextFile(u"C:\\Pkg\\kelvra.inf", "[Version]\r\n; Tarn-Well\r\n");
    }

    std::u16string copy(std::u16string_view source, std::uint32_t expectedError = 0) {
        std::u16string published;
        EXPECT_EQ(store.copyOemInf(source, true, published), expectedError);
        return published;
    }
};

TEST_F(DriverStoreTest, PublishesUnderTheLowestFreeOemNumber) {
    files.addTextFile(u"C:\\Windows\\inf\\oem0.inf", "other");
    files.addTextFile(u"C:\\Windows\\inf\\OEM2.INF", "other");
    EXPECT_EQ(copy(u"C:\\Pkg\\kelvra.inf"), u"C:\\Windows\\inf\\oem1.inf");
    EXPECT_TRUE(files.isFile(u"C:\\Windows\\inf\\oem1.pnf"));
    const StoredPackage* package = store.find(u"c:\\windows\\INF\\oem1.inf");
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->originalName, u"kelvra.inf");
    EXPECT_EQ(package->sourceRoot, u"C:\\Pkg");
}

TEST_F(DriverStoreTest, TheSameInfIsFoundAgainAndADifferentOneGetsANewName) {
    std::u16string first = copy(u"C:\\Pkg\\kelvra.inf");
    files.addTextFile(u"D:\\Copy\\kelvra.inf", "[Version]\r\n; Tarn-Well\r\n");
    EXPECT_EQ(copy(u"D:\\Copy\\kelvra.inf"), first);
    // Found again from elsewhere: the newer source is the one recorded.
    EXPECT_EQ(store.find(first)->sourceRoot, u"D:\\Copy");
    EXPECT_EQ(store.packages().size(), 1u);

    files.addTextFile(u"C:\\Pkg2\\kelvra.inf", "[Version]\r\n; newer\r\n");
    EXPECT_EQ(copy(u"C:\\Pkg2\\kelvra.inf"), u"C:\\Windows\\inf\\oem1.inf");
}

TEST_F(DriverStoreTest, WithoutASourcePathNoneIsRecorded) {
    std::u16string published;
    ASSERT_EQ(store.copyOemInf(u"C:\\Pkg\\kelvra.inf", false, published), 0u);
    EXPECT_TRUE(store.find(published)->sourceRoot.empty());
}

TEST_F(DriverStoreTest, FailsWithTheCodesOfAFileThatCannotBeRead) {
    copy(u"C:\\Pkg\\absent.inf", win::kErrorFileNotFound);
    copy(u"C:\\Nowhere\\kelvra.inf", win::kErrorPathNotFound);
    copy(u"C:\\Pkg", win::kErrorAccessDenied);
    copy(u"kelvra.inf", win::kErrorFileNotFound);  // not a full path
    EXPECT_TRUE(store.packages().empty());
    EXPECT_TRUE(files.children(u"C:\\Windows\\inf").empty());
}

}  // namespace
}  // namespace tw::sim
