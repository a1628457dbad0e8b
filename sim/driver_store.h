// The driver store of the simulated machine: driver packages copied into the
// INF folder. Copying a package's INF gives it the lowest free published name
// "oemN.inf" in C:\Windows\inf, writes its precompiled ".pnf" beside it and
// records where the package came from (the folder of the source INF), so that
// the system can find the driver's files there when the device shows up. An
// INF whose bytes are already in the store under a published name is not
// copied again: the existing name is given back, as Windows does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/file_system.h"
#include "sim/trace.h"

namespace tw::sim {

struct StoredPackage {
    std::u16string publishedPath;  // C:\Windows\inf\oem3.inf
    std::u16string originalName;   // kelvra.inf
    std::u16string sourceRoot;     // the files' recorded source (empty: none)
};

class DriverStore {
  public:
    DriverStore(FileSystem& files, Trace& trace, std::u16string infFolder)
        : files_(files), trace_(trace), infFolder_(std::move(infFolder)) {}

    const std::u16string& infFolder() const { return infFolder_; }

    // Copies the INF at the full path `sourceInf` into the store, recording
    // its folder as the source of the driver's files when `recordSource`
    // holds. Sets `published` to the path it has there and returns 0, or
    // returns the Windows error code: a missing INF fails with
    // ERROR_FILE_NOT_FOUND (ERROR_PATH_NOT_FOUND for a missing folder on its
    // path), as does a path that is not a full one; a folder with
    // ERROR_ACCESS_DENIED.
    std::uint32_t copyOemInf(std::u16string_view sourceInf, bool recordSource,
                             std::u16string& published);

    // Packages this run copied or found again, in the order of the copies.
    const std::vector<StoredPackage>& packages() const { return packages_; }
    // The package published at `path` (any letter case), or null.
    const StoredPackage* find(std::u16string_view publishedPath) const;

  private:
    std::u16string freeOemName() const;

    FileSystem& files_;
    Trace& trace_;
    std::u16string infFolder_;
    std::vector<StoredPackage> packages_;
};

}  // namespace tw::sim
