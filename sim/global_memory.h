// Global memory blocks handed out by the simulated GlobalAlloc. A block that
// is not asked zero-filled is filled with a marker byte, so code that reads
// memory it never wrote shows up in tests. A test can check every block was
// freed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

namespace tw::sim {

class GlobalMemory {
  public:
    // Larger requests fail as out of memory, as a real 32-bit process would
    // for a size read from a broken file.
    static constexpr std::size_t kLargestBlock = std::size_t{256} * 1024 * 1024;
    static constexpr std::uint8_t kUnwrittenByte = 0xCD;

    std::uint8_t* allocate(std::size_t bytes, bool zeroed) {
        if (bytes > kLargestBlock) {
            return nullptr;
        }
        auto block = std::make_unique<std::uint8_t[]>(bytes == 0 ? 1 : bytes);
        std::fill_n(block.get(), bytes == 0 ? 1 : bytes, zeroed ? 0 : kUnwrittenByte);
        std::uint8_t* address = block.get();
        blocks_[address] = {std::move(block), bytes};
        return address;
    }

    bool release(std::uint8_t* address) { return blocks_.erase(address) == 1; }

    std::size_t outstanding() const { return blocks_.size(); }

  private:
    struct Block {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::size_t size = 0;
    };
    std::map<std::uint8_t*, Block> blocks_;
};

}  // namespace tw::sim
