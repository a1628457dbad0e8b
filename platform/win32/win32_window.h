// The Window area on the real system: the wizard dialog's services. The
// dialog host tells it which window is the dialog once it exists.
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

  private:
    HWND dialog_ = nullptr;
    // The program file's name without its extension: every message box's caption.
    std::wstring applicationName_;
};

}  // namespace tw::platform::win32
