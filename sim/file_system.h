// The simulated machine's disks: drive letters, folders and files with their
// attributes and bytes, and files that another process holds open. Operations
// fail with the codes Windows gives (file not found, path not found, access
// denied, sharing violation, already exists).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim/trace.h"

namespace tw::sim {

struct FileNode {
    std::u16string path;  // normalized, with the case it was created with
    bool folder = false;
    std::uint32_t attributes = 0;
    std::vector<std::uint8_t> bytes;
    // Held open by another process without delete sharing: deletion fails
    // with ERROR_SHARING_VIOLATION.
    bool inUse = false;
    // Open handles of the program that did not share delete access.
    std::uint32_t openWithoutDeleteShare = 0;
};

class FileSystem {
  public:
    explicit FileSystem(Trace& trace) : trace_(trace) {}

    // --- Setting up a scenario (no trace, parents created as needed) --------
    void addFolders(std::u16string_view path);
    FileNode& addFile(std::u16string_view path, std::vector<std::uint8_t> bytes = {},
                      std::uint32_t attributes = 0x20 /* archive */);
    FileNode& addTextFile(std::u16string_view path, std::string_view text);
    // Takes a folder away with everything below it (a folder a scenario lacks).
    void removeTree(std::u16string_view path);

    // --- Looking ---------------------------------------------------------------
    const FileNode* find(std::u16string_view path) const;
    FileNode* find(std::u16string_view path);
    bool isFolder(std::u16string_view path) const;
    bool isFile(std::u16string_view path) const;
    // Files and folders directly inside `folder`, in name order.
    std::vector<const FileNode*> children(std::u16string_view folder) const;
    // Every file below `folder`, at any depth.
    std::vector<const FileNode*> filesBelow(std::u16string_view folder) const;

    // The code a lookup of `path` fails with, 0 when it exists: 3 when a
    // folder on the way is missing, 2 when only the last part is.
    std::uint32_t lookupError(std::u16string_view path) const;

    // --- Operations (traced as effects), returning 0 or a Windows code -----
    std::uint32_t createFolder(std::u16string_view path);
    std::uint32_t deleteFile(std::u16string_view path);
    std::uint32_t setAttributes(std::u16string_view path, std::uint32_t attributes);
    std::uint32_t writeFile(std::u16string_view path, std::vector<std::uint8_t> bytes);
    // Copies the tree below `from` into `to` (which must exist), replacing
    // files, read-only ones too, and creating folders.
    std::uint32_t copyTree(std::u16string_view from, std::u16string_view to);

  private:
    static std::u16string keyOf(std::u16string_view path);
    // The key prefix of everything below a folder: its key and one backslash.
    static std::u16string prefixBelow(std::u16string_view folder);
    FileNode& put(std::u16string_view path, bool folder);

    Trace& trace_;
    std::map<std::u16string, FileNode> nodes_;
};

}  // namespace tw::sim
