// The Registry area of the seam, served by the simulated machine for one
// simulated process.
#pragma once

#include "platform/registry.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"

namespace tw::sim {

class SimRegistry : public platform::Registry {
  public:
    SimRegistry(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    // Deleting a key tree, as the machine's user; the user's name.
    platform::Result<std::uint32_t> SHDeleteKeyW(platform::KeyHandle root,
                                                 std::u16string_view subKey) override;
    platform::Result<bool> GetUserNameW(std::span<char16_t> buffer, std::uint32_t& size) override;
    // Keys and values (the restart entry).
    platform::Result<std::uint32_t> RegOpenKeyExW(platform::KeyHandle root,
                                                  std::u16string_view subKey,
                                                  std::uint32_t desiredAccess,
                                                  platform::KeyHandle& key) override;
    platform::Result<std::uint32_t> RegSetValueExW(platform::KeyHandle key,
                                                   std::u16string_view name, std::uint32_t type,
                                                   std::span<const std::uint8_t> data) override;
    platform::Result<std::uint32_t> RegCloseKey(platform::KeyHandle key) override;

  private:
    SimMachine& m_;
    [[maybe_unused]] ProcessContext& process_;
};

}  // namespace tw::sim
