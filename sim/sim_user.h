// The simulated user in front of the wizard: clicks at set times, and
// reactions to what the step labels ask (switch the engraver off, connect it,
// switch it on), each done a set time after the text appears. What a reaction
// does to the machine is the scenario's (the engraver model's calls).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/dialog_window.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

class SimUser {
  public:
    SimUser(VirtualClock& clock, Trace& trace, DialogWindows& dialogs);
    SimUser(const SimUser&) = delete;
    SimUser& operator=(const SimUser&) = delete;

    // Clicks a control of the dialog shown at that time.
    void clickAt(Millis at, std::int32_t control);
    // Clicks the dialog's close box.
    void closeBoxAt(Millis at);

    // Each time a control of the dialog shows `text`, does `action` `delay`
    // later (traced as "user <what>").
    void reactTo(std::u16string text, Millis delay, std::string what, std::function<void()> action);
    // Each time a control shows `text`, clicks `control` `delay` later.
    void clickWhenShown(std::u16string text, Millis delay, std::int32_t control);

  private:
    struct Reaction {
        std::u16string text;
        Millis delay = 0;
        std::string what;
        std::function<void()> action;
    };
    void saw(const std::u16string& text);

    VirtualClock& clock_;
    Trace& trace_;
    DialogWindows& dialogs_;
    std::vector<Reaction> reactions_;
};

}  // namespace tw::sim
