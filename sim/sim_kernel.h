// The Kernel area of the seam, served by the simulated machine for one
// simulated process (its program file and current folder).
#pragma once

#include <string>

#include "platform/kernel.h"
#include "sim/machine.h"

namespace tw::sim {

// The process the platform serves: its program file, current folder and
// whether it is a 32-bit program.
struct ProcessContext {
    std::u16string image;
    std::u16string currentDirectory;
    bool bits32 = true;
};

class SimKernel : public platform::Kernel {
  public:
    SimKernel(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    platform::Result<std::uint32_t> GetModuleFileNameW(std::span<char16_t> buffer) override;
    platform::Result<bool> SetCurrentDirectoryW(std::u16string_view path) override;
    platform::Result<bool> CreateProcessW(std::u16string_view commandLine,
                                          std::uint32_t creationFlags,
                                          platform::ProcessInformation& info) override;
    platform::Result<std::uint32_t> WaitForSingleObject(platform::Handle handle,
                                                        std::uint32_t milliseconds) override;
    platform::Result<std::uint32_t> WaitForInputIdle(platform::Handle process,
                                                     std::uint32_t milliseconds) override;
    platform::Result<bool> CloseHandle(platform::Handle handle) override;
    platform::Result<std::int32_t> MessageBoxW(platform::WindowHandle owner,
                                               std::u16string_view text,
                                               std::optional<std::u16string_view> caption,
                                               std::uint32_t type) override;

  private:
    SimMachine& m_;
    ProcessContext& process_;
};

}  // namespace tw::sim
