// The sample set of the maker's files (package/sample/), built into
// tarnwell-sim so that a scenario can lay out the package without files of the
// host. Generated at build time by embed_sample_package.cmake.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tw::tarnwell_sim {

struct EmbeddedFile {
    std::string_view name;  // relative to the package root, '/' between folders
    std::span<const std::uint8_t> bytes;
};

std::span<const EmbeddedFile> SamplePackageFiles();

}  // namespace tw::tarnwell_sim
