#include "sim/file_system.h"

#include <gtest/gtest.h>

#include "platform/win_codes.h"

namespace tw::sim {
namespace {

class FileSystemTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    Trace trace{clock};
    FileSystem files{trace};

    void SetUp() override {
        files.addFile(u"C:\\Drv\\3\\plain.dll", {1, 2, 3});
        files.addFile(u"C:\\Drv\\3\\locked.dll", {}, win::kFileAttributeReadonly);
        files.addFile(u"C:\\Drv\\3\\busy.dll").inUse = true;
    }
};

struct DeleteCase {
    const char* name;
    std::u16string path;
    std::uint32_t error;
};

TEST_F(FileSystemTest, DeleteFailsWithTheCodesWindowsGives) {
    const DeleteCase cases[] = {
        {"plain", u"c:/drv/3/PLAIN.DLL", 0},
        {"missing file", u"C:\\Drv\\3\\none.dll", win::kErrorFileNotFound},
        {"missing folder", u"C:\\Drv\\4\\plain.dll", win::kErrorPathNotFound},
        {"read-only", u"C:\\Drv\\3\\locked.dll", win::kErrorAccessDenied},
        {"in use", u"C:\\Drv\\3\\busy.dll", win::kErrorSharingViolation},
        {"a folder", u"C:\\Drv\\3", win::kErrorAccessDenied},
    };
    for (const DeleteCase& c : cases) {
        EXPECT_EQ(files.deleteFile(c.path), c.error) << c.name;
    }
    EXPECT_FALSE(files.isFile(u"C:\\Drv\\3\\plain.dll"));
    EXPECT_EQ(trace.matching("file deleted C:\\Drv\\3\\plain.dll").size(), 1u);
}

TEST_F(FileSystemTest, ClearingReadOnlyAllowsTheDelete) {
    EXPECT_EQ(files.setAttributes(u"C:\\Drv\\3\\locked.dll", win::kFileAttributeArchive), 0u);
    EXPECT_EQ(files.deleteFile(u"C:\\Drv\\3\\locked.dll"), 0u);
}

TEST_F(FileSystemTest, CreateFolderNeedsItsParentAndReportsAnExistingOne) {
    EXPECT_EQ(files.createFolder(u"C:\\Temp\\package Tarnwell"), win::kErrorPathNotFound);
    EXPECT_EQ(files.createFolder(u"C:\\Temp"), 0u);
    EXPECT_EQ(files.createFolder(u"C:\\Temp\\package Tarnwell"), 0u);
    EXPECT_EQ(files.createFolder(u"c:\\temp\\PACKAGE TARNWELL"), win::kErrorAlreadyExists);
}

TEST_F(FileSystemTest, ChildrenAreListedInNameOrderWithoutGrandchildren) {
    files.addFile(u"C:\\Drv\\3\\sub\\deep.txt");
    std::vector<std::u16string> names;
    for (const FileNode* node : files.children(u"C:\\Drv\\3")) {
        names.push_back(node->path);
    }
    EXPECT_EQ(names,
              (std::vector<std::u16string>{u"C:\\Drv\\3\\busy.dll", u"C:\\Drv\\3\\locked.dll",
                                           u"C:\\Drv\\3\\plain.dll", u"C:\\Drv\\3\\sub"}));
}

TEST_F(FileSystemTest, CopyTreeReplacesReadOnlyFilesAndKeepsTheSource) {
    files.addFolders(u"C:\\Copy");
    files.addFile(u"C:\\Copy\\plain.dll", {9}, win::kFileAttributeReadonly);
    EXPECT_EQ(files.copyTree(u"C:\\Drv\\3", u"C:\\Copy"), 0u);
    ASSERT_TRUE(files.isFile(u"C:\\Copy\\plain.dll"));
    EXPECT_EQ(files.find(u"C:\\Copy\\plain.dll")->bytes, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(files.find(u"C:\\Copy\\busy.dll")->inUse);
    EXPECT_TRUE(files.isFile(u"C:\\Drv\\3\\plain.dll"));
    EXPECT_EQ(files.copyTree(u"C:\\Drv\\3", u"C:\\Nowhere"), win::kErrorPathNotFound);
}

}  // namespace
}  // namespace tw::sim
