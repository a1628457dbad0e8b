#include "sim/file_system.h"

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

std::u16string FileSystem::keyOf(std::u16string_view path) {
    return FoldCase(NormalizePath(path));
}

std::u16string FileSystem::prefixBelow(std::u16string_view folder) {
    std::u16string prefix = keyOf(folder);
    if (prefix.empty() || prefix.back() != u'\\') {
        prefix += u'\\';
    }
    return prefix;
}

FileNode& FileSystem::put(std::u16string_view path, bool folder) {
    std::u16string normal = NormalizePath(path);
    FileNode& node = nodes_[FoldCase(normal)];
    node.path = normal;
    node.folder = folder;
    if (folder) {
        node.attributes = win::kFileAttributeDirectory;
    }
    return node;
}

void FileSystem::addFolders(std::u16string_view path) {
    std::u16string normal = NormalizePath(path);
    std::u16string parent = ParentPath(normal);
    if (!parent.empty() && !isFolder(parent)) {
        addFolders(parent);
    }
    if (!isFolder(normal)) {
        put(normal, true);
    }
}

FileNode& FileSystem::addFile(std::u16string_view path, std::vector<std::uint8_t> bytes,
                              std::uint32_t attributes) {
    std::u16string normal = NormalizePath(path);
    addFolders(ParentPath(normal));
    FileNode& node = put(normal, false);
    node.bytes = std::move(bytes);
    node.attributes = attributes;
    return node;
}

FileNode& FileSystem::addTextFile(std::u16string_view path, std::string_view text) {
    return addFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void FileSystem::removeTree(std::u16string_view path) {
    std::u16string key = keyOf(path);
    std::u16string below = key.back() == u'\\' ? key : key + u"\\";
    nodes_.erase(key);
    for (auto it = nodes_.lower_bound(below);
         it != nodes_.end() && it->first.compare(0, below.size(), below) == 0;) {
        it = nodes_.erase(it);
    }
}

const FileNode* FileSystem::find(std::u16string_view path) const {
    auto it = nodes_.find(keyOf(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

FileNode* FileSystem::find(std::u16string_view path) {
    auto it = nodes_.find(keyOf(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

bool FileSystem::isFolder(std::u16string_view path) const {
    const FileNode* node = find(path);
    return node != nullptr && node->folder;
}

bool FileSystem::isFile(std::u16string_view path) const {
    const FileNode* node = find(path);
    return node != nullptr && !node->folder;
}

std::vector<const FileNode*> FileSystem::children(std::u16string_view folder) const {
    std::u16string prefix = prefixBelow(folder);
    std::vector<const FileNode*> out;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end(); ++it) {
        const std::u16string& key = it->first;
        if (key.compare(0, prefix.size(), prefix) != 0) {
            break;
        }
        if (key.size() > prefix.size() && key.find(u'\\', prefix.size()) == std::u16string::npos) {
            out.push_back(&it->second);
        }
    }
    return out;
}

std::vector<const FileNode*> FileSystem::filesBelow(std::u16string_view folder) const {
    std::u16string prefix = prefixBelow(folder);
    std::vector<const FileNode*> out;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) {
            break;
        }
        if (!it->second.folder) {
            out.push_back(&it->second);
        }
    }
    return out;
}

std::uint32_t FileSystem::lookupError(std::u16string_view path) const {
    std::u16string normal = NormalizePath(path);
    if (find(normal) != nullptr) {
        return 0;
    }
    std::u16string parent = ParentPath(normal);
    if (!parent.empty() && !isFolder(parent)) {
        return win::kErrorPathNotFound;
    }
    return win::kErrorFileNotFound;
}

std::uint32_t FileSystem::createFolder(std::u16string_view path) {
    std::u16string normal = NormalizePath(path);
    if (find(normal) != nullptr) {
        return win::kErrorAlreadyExists;
    }
    std::u16string parent = ParentPath(normal);
    if (parent.empty() || !isFolder(parent)) {
        return win::kErrorPathNotFound;
    }
    put(normal, true);
    trace_.effect("folder created " + Utf8(normal));
    return 0;
}

std::uint32_t FileSystem::deleteFile(std::u16string_view path) {
    if (std::uint32_t error = lookupError(path)) {
        return error;
    }
    FileNode* node = find(path);
    if (node->folder || (node->attributes & win::kFileAttributeReadonly) != 0) {
        return win::kErrorAccessDenied;
    }
    if (node->inUse || node->openWithoutDeleteShare > 0) {
        return win::kErrorSharingViolation;
    }
    std::u16string shown = node->path;
    nodes_.erase(keyOf(path));
    trace_.effect("file deleted " + Utf8(shown));
    return 0;
}

std::uint32_t FileSystem::setAttributes(std::u16string_view path, std::uint32_t attributes) {
    if (std::uint32_t error = lookupError(path)) {
        return error;
    }
    FileNode* node = find(path);
    node->attributes = (attributes & ~win::kFileAttributeDirectory) |
                       (node->folder ? win::kFileAttributeDirectory : 0);
    return 0;
}

std::uint32_t FileSystem::writeFile(std::u16string_view path, std::vector<std::uint8_t> bytes) {
    std::u16string normal = NormalizePath(path);
    FileNode* node = find(normal);
    if (node == nullptr) {
        std::u16string parent = ParentPath(normal);
        if (parent.empty() || !isFolder(parent)) {
            return win::kErrorPathNotFound;
        }
        node = &put(normal, false);
        node->attributes = win::kFileAttributeArchive;
    } else if (node->folder || (node->attributes & win::kFileAttributeReadonly) != 0) {
        return win::kErrorAccessDenied;
    }
    node->bytes = std::move(bytes);
    trace_.effect("file written " + Utf8(normal) + " (" + std::to_string(node->bytes.size()) +
                  " bytes)");
    return 0;
}

std::uint32_t FileSystem::copyTree(std::u16string_view from, std::u16string_view to) {
    std::u16string source = NormalizePath(from);
    std::u16string target = NormalizePath(to);
    if (!isFolder(source)) {
        return win::kErrorPathNotFound;
    }
    if (!isFolder(target)) {
        return win::kErrorPathNotFound;
    }
    std::u16string prefix = prefixBelow(source);
    std::vector<FileNode> copies;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) {
            break;
        }
        FileNode copy = it->second;
        copy.path = JoinPath(target, copy.path.substr(prefix.size()));
        copy.inUse = false;
        copies.push_back(std::move(copy));
    }
    for (FileNode& copy : copies) {
        std::u16string key = keyOf(copy.path);
        nodes_[key] = std::move(copy);
    }
    trace_.effect("tree copied " + Utf8(source) + " -> " + Utf8(target) + " (" +
                  std::to_string(copies.size()) + " entries)");
    return 0;
}

}  // namespace tw::sim
