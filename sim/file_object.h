// The object behind a file handle of an ordinary file: the file's path, the
// access it was opened with and the position of the next read or write.
#pragma once

#include <cstdint>
#include <string>

#include "sim/file_system.h"
#include "sim/handle_table.h"
#include "sim/sim_path.h"

namespace tw::sim {

class FileObject : public KernelObject {
  public:
    FileObject(FileSystem& files, std::u16string filePath, std::uint32_t openAccess,
               bool sharingDelete)
        : files_(files),
          path(std::move(filePath)),
          access(openAccess),
          sharesDelete(sharingDelete) {
        if (!sharesDelete) {
            if (FileNode* node = files_.find(path)) {
                ++node->openWithoutDeleteShare;
            }
        }
    }
    ~FileObject() override {
        if (!sharesDelete) {
            if (FileNode* node = files_.find(path)) {
                --node->openWithoutDeleteShare;
            }
        }
    }
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    std::string describe() const override { return "file " + Utf8(path); }

  private:
    FileSystem& files_;

  public:
    const std::u16string path;
    const std::uint32_t access;
    const bool sharesDelete;
    std::uint64_t position = 0;
};

}  // namespace tw::sim
