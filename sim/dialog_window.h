// The wizard dialog on the simulated desktop: its controls with their texts,
// enabled and checked states, its caption and icons, its timers (in the
// clock's event queue) and the input waiting for it (clicks of the simulated
// user). The modal loop of the Window area takes input and timer ticks from
// here only while no step runs; tests read the visible state.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/handle.h"
#include "platform/window.h"
#include "sim/program_resources.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

struct ControlState {
    ControlTemplate control;
    std::u16string text;
    bool enabled = true;
    bool checked = false;
};

// Something the user did to the dialog, waiting for the modal loop.
struct DialogInput {
    enum class Kind { Click, CloseBox, Paint } kind = Kind::Click;
    std::int32_t control = 0;  // for a click
};

struct DrawnIcon {
    std::int32_t x = 0;
    std::int32_t y = 0;
    platform::IconHandle icon = platform::kNoIcon;
};

class DialogWindow {
  public:
    DialogWindow(VirtualClock& clock, Trace& trace, const DialogTemplate& dialogTemplate,
                 platform::WindowHandle handle);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // --- What the user sees ----------------------------------------------------
    platform::WindowHandle handle() const { return handle_; }
    std::int32_t templateId() const { return templateId_; }
    // The dialog's size in dialog units, as its template gives it.
    std::int16_t width() const { return width_; }
    std::int16_t height() const { return height_; }
    const std::u16string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    bool ended() const { return ended_; }
    // The window is gone (after the modal loop ended).
    bool destroyed() const { return destroyed_; }
    std::intptr_t result() const { return result_; }
    const std::vector<ControlState>& controls() const { return controls_; }
    const ControlState* control(std::int32_t id) const;
    // The control with the keyboard focus, if any.
    std::optional<std::int32_t> focus() const { return focus_; }
    platform::IconHandle bigIcon() const { return bigIcon_; }
    platform::IconHandle smallIcon() const { return smallIcon_; }

    // --- Window services -------------------------------------------------------
    ControlState* control(std::int32_t id);
    void setCaption(std::u16string text);
    // Sets a control's text; a visible dialog shows it at once.
    void setText(ControlState& control, std::u16string text);
    void setEnabled(ControlState& control, bool enabled);
    void setChecked(ControlState& control, bool checked);
    // WM_SETICON: returns the icon it replaces.
    platform::IconHandle setIcon(bool big, platform::IconHandle icon);
    // Shows the dialog after its initialisation; the focus goes to the first
    // enabled tab stop when `focusFirstTabStop`.
    void show(bool focusFirstTabStop);
    // EndDialog: the dialog hides at once; the modal loop ends after the
    // running handler returns.
    void end(std::intptr_t result);

    // Arms timer `id`; an armed one is replaced and its interval restarts.
    // The timer repeats every `interval` until killed.
    void setTimer(std::uintptr_t id, std::uint32_t interval);
    bool killTimer(std::uintptr_t id);
    bool timerArmed(std::uintptr_t id) const { return timers_.count(id) != 0; }
    // The interval timer `id` is armed with, if it is.
    std::optional<std::uint32_t> timerInterval(std::uintptr_t id) const;
    // The window is destroyed: its timers and waiting input go with it.
    void destroy();

    // --- The modal loop ----------------------------------------------------------
    void post(DialogInput input);
    // Input first, then a due timer, as a message loop takes them.
    std::optional<DialogInput> takeInput();
    std::optional<std::uintptr_t> takeDueTimer();
    bool hasWork() const;
    // A message box owned by the dialog is open: the dialog takes no input.
    bool modalBoxOpen = false;

    // --- Painting the minimised window -------------------------------------------
    bool iconic = false;
    platform::ClientRect clientRect{0, 0, 378, 345};
    std::vector<DrawnIcon> drawnIcons;
    std::uint32_t iconBackgroundErasures = 0;
    std::uint32_t defaultPaints = 0;
    std::uint32_t openPaints = 0;  // BeginPaint without its EndPaint

    // Called when a visible control shows a new text (the simulated user reads
    // it).
    std::function<void(std::int32_t control, const std::u16string& text)> onTextShown;
    // Called after each change the user can see: the dialog opened, a
    // caption, text, enabled or checked state changed while it shows.
    std::function<void(const DialogWindow&)> onVisibleChange;

  private:
    struct Timer {
        std::uint32_t interval = 0;
        VirtualClock::EventId event = 0;
        bool pending = false;
    };
    void scheduleTick(std::uintptr_t id, Millis at);
    std::string name(const ControlState& control) const;
    void visibleChange() const;

    VirtualClock& clock_;
    Trace& trace_;
    platform::WindowHandle handle_;
    std::int32_t templateId_;
    std::int16_t width_;
    std::int16_t height_;
    std::u16string caption_;
    std::vector<ControlState> controls_;
    bool visible_ = false;
    bool ended_ = false;
    bool destroyed_ = false;
    std::intptr_t result_ = 0;
    std::optional<std::int32_t> focus_;
    platform::IconHandle bigIcon_ = platform::kNoIcon;
    platform::IconHandle smallIcon_ = platform::kNoIcon;
    std::map<std::uintptr_t, Timer> timers_;
    std::deque<DialogInput> input_;
};

// The dialogs the programs showed, the one open now last.
class DialogWindows {
  public:
    DialogWindows(VirtualClock& clock, Trace& trace) : clock_(clock), trace_(trace) {}

    DialogWindow& open(const DialogTemplate& dialogTemplate, platform::WindowHandle handle);
    // The dialog that exists now (created and not yet destroyed; it may have
    // ended and be hidden while its last handler runs), if any.
    DialogWindow* current();
    // The last dialog opened, also after it closed (its state as it closed).
    const DialogWindow* last() const;
    std::size_t count() const { return shown_.size(); }

    // The simulated user's input to the dialog shown now. Without a visible
    // dialog, or while a message box it owns is open, the input is lost.
    void click(std::int32_t control);
    void closeBox();
    // Asks the shown dialog to paint itself (it was restored or uncovered).
    void paint();

    // Called when a visible control shows a new text.
    std::function<void(std::int32_t control, const std::u16string& text)> onTextShown;
    // Called after each change the user can see in a dialog.
    std::function<void(const DialogWindow&)> onVisibleChange;

  private:
    void deliver(DialogInput input, const std::string& what);

    VirtualClock& clock_;
    Trace& trace_;
    std::vector<std::unique_ptr<DialogWindow>> shown_;
};

}  // namespace tw::sim
