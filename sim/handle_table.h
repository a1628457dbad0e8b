// Handles of the simulated machine: each open handle points at a kernel
// object (a process, a thread, later files, devices, searches, keys...). A
// test can check that everything the program opened it also closed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/handle.h"

namespace tw::sim {

class KernelObject {
  public:
    virtual ~KernelObject() = default;
    virtual std::string describe() const = 0;
};

class HandleTable {
  public:
    platform::Handle add(std::shared_ptr<KernelObject> object) {
        platform::Handle handle{next_};
        next_ += 4;
        open_.emplace(handle, std::move(object));
        return handle;
    }

    template <class T>
    std::shared_ptr<T> get(platform::Handle handle) const {
        auto it = open_.find(handle);
        return it == open_.end() ? nullptr : std::dynamic_pointer_cast<T>(it->second);
    }

    bool close(platform::Handle handle) { return open_.erase(handle) == 1; }

    // What is still open, described, for leak checks and failure output.
    std::vector<std::string> stillOpen() const {
        std::vector<std::string> out;
        for (const auto& [handle, object] : open_) {
            out.push_back(object->describe());
        }
        return out;
    }

  private:
    std::uintptr_t next_ = 0x40;
    std::map<platform::Handle, std::shared_ptr<KernelObject>> open_;
};

}  // namespace tw::sim
