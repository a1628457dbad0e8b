// What the simulated user sees and answers: message boxes, recorded with their
// owner, caption and text, each closed with OK after the time the user takes
// to read it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handle.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

struct MessageBoxRecord {
    Millis at = 0;
    platform::WindowHandle owner = platform::kNoWindow;
    std::u16string caption;
    std::u16string text;
    std::uint32_t type = 0;
};

class Desktop {
  public:
    Desktop(VirtualClock& clock, Trace& trace) : clock_(clock), trace_(trace) {}

    // Shows a modal message box and returns the button the user chose (OK).
    // The clock runs on while the user reads it.
    std::int32_t showMessageBox(platform::WindowHandle owner, std::u16string caption,
                                std::u16string text, std::uint32_t type);

    const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
    std::vector<std::u16string> messageTexts() const;

    // How long the simulated user takes to dismiss a message box.
    Millis messageBoxReadTime = 0;

  private:
    VirtualClock& clock_;
    Trace& trace_;
    std::vector<MessageBoxRecord> messageBoxes_;
};

}  // namespace tw::sim
