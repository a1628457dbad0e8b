#include "sim/file_search.h"

#include "sim/sim_path.h"

namespace tw::sim {

bool WildcardMatch(std::u16string_view name, std::u16string_view pattern) {
    // Greedy matching with one back-track point: the last star seen.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = std::u16string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            starName = n;
        } else if (starAt != std::u16string_view::npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

std::string SearchObject::describe() const {
    return "search " + Utf8(pattern);
}

std::deque<FoundFile> MatchingEntries(const FileSystem& files, std::u16string_view folder,
                                      std::u16string_view namePattern) {
    std::deque<FoundFile> found;
    for (const FileNode* node : files.children(folder)) {
        std::u16string_view name = FileName(node->path);
        if (WildcardMatch(name, namePattern)) {
            found.push_back({std::u16string(name), node->attributes});
        }
    }
    return found;
}

}  // namespace tw::sim
