#include "sim/sim_user.h"

namespace tw::sim {

SimUser::SimUser(VirtualClock& clock, Trace& trace, DialogWindows& dialogs)
    : clock_(clock), trace_(trace), dialogs_(dialogs) {
    dialogs_.onTextShown = [this](std::int32_t /*control*/, const std::u16string& text) {
        saw(text);
    };
}

void SimUser::clickAt(Millis at, std::int32_t control) {
    clock_.schedule(at, "user click", [this, control] { dialogs_.click(control); });
}

void SimUser::closeBoxAt(Millis at) {
    clock_.schedule(at, "user close box", [this] { dialogs_.closeBox(); });
}

void SimUser::reactTo(std::u16string text, Millis delay, std::string what,
                      std::function<void()> action) {
    reactions_.push_back({std::move(text), delay, std::move(what), std::move(action)});
}

void SimUser::clickWhenShown(std::u16string text, Millis delay, std::int32_t control) {
    // The click traces itself.
    reactTo(std::move(text), delay, {}, [this, control] { dialogs_.click(control); });
}

void SimUser::saw(const std::u16string& text) {
    for (const Reaction& reaction : reactions_) {
        if (reaction.text != text) {
            continue;
        }
        clock_.scheduleIn(reaction.delay, "user " + reaction.what, [this, reaction] {
            if (!reaction.what.empty()) {
                trace_.effect("user " + reaction.what);
            }
            reaction.action();
        });
    }
}

}  // namespace tw::sim
