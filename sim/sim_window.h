// The Window area of the seam on the simulated machine: the wizard dialog's
// services, with what the user sees recorded on the simulated desktop.
#pragma once

#include <string>

#include "platform/window.h"
#include "sim/machine.h"
#include "sim/sim_kernel.h"

namespace tw::sim {

// The handle of the simulated wizard dialog, the owner of its message boxes.
inline constexpr platform::WindowHandle kSimDialogWindow{0x0001'0010};

class SimWindow : public platform::Window {
  public:
    SimWindow(SimMachine& machine, ProcessContext& process) : m_(machine), process_(process) {}

    platform::Result<std::int32_t> MessageBox(std::u16string_view text) override;

    // The program file's name without its extension ("Install"): the caption
    // of the dialog's message boxes.
    std::u16string applicationName() const;

    // --- The wizard dialog (dialog_window.h holds its model) ------------------
    platform::Result<std::intptr_t> DialogBoxParamW(std::int32_t templateId,
                                                    platform::DialogHandler& handler) override;
    platform::Result<bool> EndDialog(std::intptr_t result) override;
    platform::Result<std::uintptr_t> SetTimer(std::uintptr_t id, std::uint32_t elapse) override;
    platform::Result<bool> KillTimer(std::uintptr_t id) override;
    platform::Result<bool> EnableWindow(std::int32_t control, bool enable) override;
    platform::Result<bool> SetWindowTextW(std::int32_t control, std::u16string_view text) override;
    platform::Result<std::int32_t> GetWindowTextLengthW(std::int32_t control) override;
    platform::Result<std::int32_t> GetWindowTextW(std::int32_t control,
                                                  std::span<char16_t> buffer) override;
    platform::Result<bool> CheckDlgButton(std::int32_t button, std::uint32_t check) override;
    platform::Result<platform::IconHandle> LoadIconW(std::int32_t resourceId) override;
    platform::Result<std::intptr_t> SendMessageW(std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) override;
    platform::Result<std::intptr_t> DefWindowProcW(std::uint32_t message, std::uintptr_t wParam,
                                                   std::intptr_t lParam) override;
    platform::Result<bool> IsIconic() override;
    platform::Result<platform::DeviceContext> BeginPaint() override;
    platform::Result<bool> EndPaint(platform::DeviceContext context) override;
    platform::Result<std::int32_t> GetSystemMetrics(std::int32_t index) override;
    platform::Result<bool> GetClientRect(platform::ClientRect& rect) override;
    platform::Result<bool> DrawIcon(platform::DeviceContext context, std::int32_t x, std::int32_t y,
                                    platform::IconHandle icon) override;
    platform::Result<std::uint16_t> GetSystemDefaultLangID() override;
    platform::Result<std::int32_t> MultiByteToWideChar(std::uint32_t codePage,
                                                       std::string_view bytes,
                                                       std::span<char16_t> buffer) override;
    platform::Result<std::uint32_t> GetFileVersionInfoSizeW(std::u16string_view path) override;
    platform::Result<bool> GetFileVersionInfoW(std::u16string_view path,
                                               std::span<std::uint8_t> block) override;
    platform::Result<bool> VerQueryValueW(std::span<const std::uint8_t> block,
                                          std::u16string_view subBlock,
                                          platform::FixedFileInfo& info) override;

  private:
    // The version resource of the file at `path`, or the error that finding
    // it gives.
    const VersionResource* versionOf(std::u16string_view path, std::uint32_t& error) const;
    // The modal loop: hands the dialog its input and timer ticks, one at a
    // time, until it ends.
    void runModalLoop(DialogWindow& dialog, platform::DialogHandler& handler);

    SimMachine& m_;
    ProcessContext& process_;
};

}  // namespace tw::sim
