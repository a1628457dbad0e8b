// The Window area on the real system: the wizard dialog's services. The
// dialog host (DialogBoxParamW) tells it which window is the dialog once it
// exists; the other calls act on that dialog and its controls.
#pragma once

#include <windows.h>

#include <string>

#include "platform/window.h"

namespace tw::platform::win32 {

class Win32Window : public Window {
  public:
    Win32Window();

    void setDialog(HWND dialog) { dialog_ = dialog; }
    HWND dialog() const { return dialog_; }
    const std::wstring& applicationName() const { return applicationName_; }

    Result<std::int32_t> MessageBox(std::u16string_view text) override;

    Result<std::intptr_t> DialogBoxParamW(std::int32_t templateId, DialogHandler& handler) override;
    Result<bool> EndDialog(std::intptr_t result) override;
    Result<std::uintptr_t> SetTimer(std::uintptr_t id, std::uint32_t elapse) override;
    Result<bool> KillTimer(std::uintptr_t id) override;
    Result<bool> EnableWindow(std::int32_t control, bool enable) override;
    Result<bool> SetWindowTextW(std::int32_t control, std::u16string_view text) override;
    Result<std::int32_t> GetWindowTextLengthW(std::int32_t control) override;
    Result<std::int32_t> GetWindowTextW(std::int32_t control, std::span<char16_t> buffer) override;
    Result<bool> CheckDlgButton(std::int32_t button, std::uint32_t check) override;
    Result<IconHandle> LoadIconW(std::int32_t resourceId) override;
    Result<std::intptr_t> SendMessageW(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) override;
    Result<std::intptr_t> DefWindowProcW(std::uint32_t message, std::uintptr_t wParam,
                                         std::intptr_t lParam) override;
    Result<bool> IsIconic() override;
    Result<DeviceContext> BeginPaint() override;
    Result<bool> EndPaint(DeviceContext context) override;
    Result<std::int32_t> GetSystemMetrics(std::int32_t index) override;
    Result<bool> GetClientRect(ClientRect& rect) override;
    Result<bool> DrawIcon(DeviceContext context, std::int32_t x, std::int32_t y,
                          IconHandle icon) override;
    Result<std::uint16_t> GetSystemDefaultLangID() override;
    Result<std::int32_t> MultiByteToWideChar(std::uint32_t codePage, std::string_view bytes,
                                             std::span<char16_t> buffer) override;
    Result<std::uint32_t> GetFileVersionInfoSizeW(std::u16string_view path) override;
    Result<bool> GetFileVersionInfoW(std::u16string_view path,
                                     std::span<std::uint8_t> block) override;
    Result<bool> VerQueryValueW(std::span<const std::uint8_t> block, std::u16string_view subBlock,
                                FixedFileInfo& info) override;

  private:
    // The window a control id names: the dialog itself for kTheDialog.
    HWND item(std::int32_t control) const;

    HWND dialog_ = nullptr;
    // The program file's name without its extension: every message box's caption.
    std::wstring applicationName_;
    // The paint in progress between BeginPaint and EndPaint.
    PAINTSTRUCT paint_{};
};

}  // namespace tw::platform::win32
