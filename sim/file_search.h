// File searches of the simulated machine (FindFirstFileW and the calls after
// it): the names of a folder that match a pattern with the wildcards * and ?,
// compared without regard to letter case, in the folder's name order. The
// search object takes the matching names when the search starts.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "sim/file_system.h"
#include "sim/handle_table.h"

namespace tw::sim {

// Whether `name` matches `pattern` ("oem*.inf", "a?c.txt").
bool WildcardMatch(std::u16string_view name, std::u16string_view pattern);

struct FoundFile {
    std::u16string name;  // the bare name, as created
    std::uint32_t attributes = 0;
};

class SearchObject : public KernelObject {
  public:
    SearchObject(std::u16string searchPattern, std::deque<FoundFile> names)
        : pattern(std::move(searchPattern)), remaining(std::move(names)) {}
    std::string describe() const override;

    const std::u16string pattern;
    std::deque<FoundFile> remaining;  // not yet handed out
};

// The entries of `folder` that match `namePattern`, in name order.
std::deque<FoundFile> MatchingEntries(const FileSystem& files, std::u16string_view folder,
                                      std::u16string_view namePattern);

}  // namespace tw::sim
