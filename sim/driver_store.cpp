#include "sim/driver_store.h"

#include <algorithm>
#include <string>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

// The precompiled INF beside "oemN.inf": "oemN.pnf".
std::u16string PnfPathOf(std::u16string_view infPath) {
    std::u16string pnf(infPath);
    pnf.replace(pnf.size() - 3, 3, u"pnf");
    return pnf;
}

// What the .pnf holds here: the source location, as UTF-16.
std::vector<std::uint8_t> PnfBytes(std::u16string_view sourceRoot) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : sourceRoot) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

// "oem" followed by decimal digits and ".inf", in any letter case.
bool IsPublishedName(std::u16string_view name) {
    std::u16string folded = FoldCase(name);
    if (folded.size() < 8 || folded.substr(0, 3) != u"OEM" ||
        folded.substr(folded.size() - 4) != u".INF") {
        return false;
    }
    for (std::size_t at = 3; at < folded.size() - 4; ++at) {
        if (folded[at] < u'0' || folded[at] > u'9') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::u16string DriverStore::freeOemName() const {
    for (std::uint32_t number = 0;; ++number) {
        std::u16string name = u"oem";
        for (char c : std::to_string(number)) {
            name.push_back(static_cast<char16_t>(c));
        }
        name += u".inf";
        if (files_.find(JoinPath(infFolder_, name)) == nullptr) {
            return name;
        }
    }
}

std::uint32_t DriverStore::copyOemInf(std::u16string_view sourceInf, bool recordSource,
                                      std::u16string& published) {
    if (!IsAbsolutePath(sourceInf)) {
        return win::kErrorFileNotFound;
    }
    std::u16string source = NormalizePath(sourceInf);
    const FileNode* node = files_.find(source);
    if (node == nullptr) {
        return files_.lookupError(source);
    }
    if (node->folder) {
        return win::kErrorAccessDenied;
    }
    std::u16string sourceRoot = recordSource ? ParentPath(source) : std::u16string();

    // The same INF already published: its name is given back, the source it
    // was copied from now is recorded.
    for (const FileNode* stored : files_.children(infFolder_)) {
        if (!stored->folder && IsPublishedName(FileName(stored->path)) &&
            stored->bytes == node->bytes) {
            published = stored->path;
            auto it = std::find_if(packages_.begin(), packages_.end(), [&](const auto& package) {
                return EqualsNoCase(package.publishedPath, published);
            });
            if (it == packages_.end()) {
                packages_.push_back({published, std::u16string(FileName(source)), sourceRoot});
            } else {
                it->sourceRoot = sourceRoot;
            }
            trace_.effect("driver store: " + Utf8(source) + " is already published as " +
                          Utf8(published));
            return 0;
        }
    }

    published = JoinPath(infFolder_, freeOemName());
    std::vector<std::uint8_t> bytes = node->bytes;
    if (std::uint32_t error = files_.writeFile(published, std::move(bytes))) {
        return error;
    }
    if (std::uint32_t error = files_.writeFile(PnfPathOf(published), PnfBytes(sourceRoot))) {
        return error;
    }
    packages_.push_back({published, std::u16string(FileName(source)), sourceRoot});
    trace_.effect("driver store: " + Utf8(source) + " published as " + Utf8(published) +
                  (sourceRoot.empty() ? "" : ", files from " + Utf8(sourceRoot)));
    return 0;
}

const StoredPackage* DriverStore::find(std::u16string_view publishedPath) const {
    for (const StoredPackage& package : packages_) {
        if (EqualsNoCase(package.publishedPath, NormalizePath(publishedPath))) {
            return &package;
        }
    }
    return nullptr;
}

}  // namespace tw::sim
