// The Window area of the seam: the services the wizard dialog offers its
// steps and operations. Only the message box is here so far; the dialog's
// other services (the step timer, enabling controls, texts, check marks, the
// bound texts, ending the dialog) join it with the wizard.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/result.h"

namespace tw::platform {

class Window {
  public:
    virtual ~Window() = default;

    // A modal message box owned by the wizard dialog, with the application's
    // name as caption and an OK button only. Returns the button chosen.
    virtual Result<std::int32_t> MessageBox(std::u16string_view text) = 0;
};

}  // namespace tw::platform
