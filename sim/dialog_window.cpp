#include "sim/dialog_window.h"

#include "sim/sim_path.h"

namespace tw::sim {
namespace {

std::string Quoted(std::u16string_view text) {
    return "\"" + Utf8(text) + "\"";
}

bool IsTabStop(const ControlState& control) {
    return (control.control.style & style::kWsTabStop) != 0;
}

}  // namespace

DialogWindow::DialogWindow(VirtualClock& clock, Trace& trace, const DialogTemplate& dialogTemplate,
                           platform::WindowHandle handle)
    : clock_(clock),
      trace_(trace),
      handle_(handle),
      templateId_(dialogTemplate.id),
      width_(dialogTemplate.cx),
      height_(dialogTemplate.cy),
      caption_(dialogTemplate.caption) {
    for (const ControlTemplate& control : dialogTemplate.controls) {
        controls_.push_back({control, control.text, true, false});
    }
}

DialogWindow::~DialogWindow() {
    destroy();
}

const ControlState* DialogWindow::control(std::int32_t id) const {
    for (const ControlState& control : controls_) {
        if (control.control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

ControlState* DialogWindow::control(std::int32_t id) {
    for (ControlState& control : controls_) {
        if (control.control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

std::string DialogWindow::name(const ControlState& control) const {
    const char* kind = "control";
    if (control.control.windowClass == ControlClass::Static) {
        kind = "label";
    } else {
        switch (control.control.style & style::kBsTypeMask) {
            case style::kBsRadioButton:
            case style::kBsAutoRadioButton:
                kind = "radio";
                break;
            case style::kBsGroupBox:
                kind = "group";
                break;
            default:
                kind = "button";
                break;
        }
    }
    return std::string(kind) + " " + std::to_string(control.control.id);
}

void DialogWindow::setCaption(std::u16string text) {
    if (visible_ && text != caption_) {
        trace_.screen("caption " + Quoted(text));
        caption_ = std::move(text);
        visibleChange();
        return;
    }
    caption_ = std::move(text);
}

void DialogWindow::setText(ControlState& control, std::u16string text) {
    bool changed = text != control.text;
    control.text = std::move(text);
    if (visible_ && changed) {
        trace_.screen(name(control) + " shows " + Quoted(control.text));
        visibleChange();
        if (onTextShown) {
            onTextShown(control.control.id, control.text);
        }
    }
}

void DialogWindow::setEnabled(ControlState& control, bool enabled) {
    bool changed = enabled != control.enabled;
    control.enabled = enabled;
    if (!enabled && focus_ == control.control.id) {
        focus_.reset();
    }
    if (visible_ && changed) {
        bool isLabel = control.control.windowClass == ControlClass::Static;
        trace_.screen(name(control) + (enabled ? " enabled" : isLabel ? " greyed" : " disabled"));
        visibleChange();
    }
}

void DialogWindow::setChecked(ControlState& control, bool checked) {
    bool changed = checked != control.checked;
    control.checked = checked;
    if (visible_ && changed) {
        trace_.screen(name(control) + (checked ? " marked" : " cleared"));
        visibleChange();
    }
}

platform::IconHandle DialogWindow::setIcon(bool big, platform::IconHandle icon) {
    platform::IconHandle& slot = big ? bigIcon_ : smallIcon_;
    platform::IconHandle before = slot;
    slot = icon;
    return before;
}

void DialogWindow::show(bool focusFirstTabStop) {
    visible_ = true;
    if (focusFirstTabStop) {
        for (const ControlState& control : controls_) {
            if (IsTabStop(control) && control.enabled) {
                focus_ = control.control.id;
                break;
            }
        }
    }
    trace_.screen("dialog " + std::to_string(templateId_) + " opens: " + Quoted(caption_));
    for (const ControlState& control : controls_) {
        trace_.screen("  " + name(control) + " " + Quoted(control.text) +
                      (control.enabled ? "" : ", disabled") + (control.checked ? ", marked" : ""));
    }
    visibleChange();
}

void DialogWindow::visibleChange() const {
    if (onVisibleChange) {
        onVisibleChange(*this);
    }
}

void DialogWindow::end(std::intptr_t result) {
    if (ended_) {
        return;
    }
    ended_ = true;
    result_ = result;
    if (visible_) {
        visible_ = false;
        trace_.screen("dialog " + std::to_string(templateId_) + " closes (result " +
                      std::to_string(result) + ")");
    }
}

void DialogWindow::scheduleTick(std::uintptr_t id, Millis at) {
    Timer& timer = timers_[id];
    timer.event = clock_.schedule(at, "timer " + std::to_string(id), [this, id, at] {
        auto it = timers_.find(id);
        if (it == timers_.end()) {
            return;
        }
        // A due timer waits as one tick, however many intervals pass; the
        // timer goes on with its interval.
        it->second.pending = true;
        scheduleTick(id, at + it->second.interval);
    });
}

void DialogWindow::setTimer(std::uintptr_t id, std::uint32_t interval) {
    killTimer(id);
    // A zero interval behaves as the shortest one the system allows.
    std::uint32_t effective = interval == 0 ? 1 : interval;
    timers_[id] = Timer{effective, 0, false};
    scheduleTick(id, clock_.now() + effective);
}

bool DialogWindow::killTimer(std::uintptr_t id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return false;
    }
    clock_.cancel(it->second.event);
    timers_.erase(it);
    return true;
}

std::optional<std::uint32_t> DialogWindow::timerInterval(std::uintptr_t id) const {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return std::nullopt;
    }
    return it->second.interval;
}

void DialogWindow::destroy() {
    destroyed_ = true;
    while (!timers_.empty()) {
        killTimer(timers_.begin()->first);
    }
    input_.clear();
}

void DialogWindow::post(DialogInput input) {
    input_.push_back(input);
}

std::optional<DialogInput> DialogWindow::takeInput() {
    if (input_.empty()) {
        return std::nullopt;
    }
    DialogInput input = input_.front();
    input_.pop_front();
    return input;
}

std::optional<std::uintptr_t> DialogWindow::takeDueTimer() {
    for (auto& [id, timer] : timers_) {
        if (timer.pending) {
            timer.pending = false;
            return id;
        }
    }
    return std::nullopt;
}

bool DialogWindow::hasWork() const {
    if (!input_.empty()) {
        return true;
    }
    for (const auto& [id, timer] : timers_) {
        if (timer.pending) {
            return true;
        }
    }
    return false;
}

DialogWindow& DialogWindows::open(const DialogTemplate& dialogTemplate,
                                  platform::WindowHandle handle) {
    shown_.push_back(std::make_unique<DialogWindow>(clock_, trace_, dialogTemplate, handle));
    DialogWindow& dialog = *shown_.back();
    dialog.onTextShown = [this](std::int32_t control, const std::u16string& text) {
        if (onTextShown) {
            onTextShown(control, text);
        }
    };
    dialog.onVisibleChange = [this](const DialogWindow& changed) {
        if (onVisibleChange) {
            onVisibleChange(changed);
        }
    };
    return dialog;
}

DialogWindow* DialogWindows::current() {
    if (shown_.empty() || shown_.back()->destroyed()) {
        return nullptr;
    }
    return shown_.back().get();
}

const DialogWindow* DialogWindows::last() const {
    return shown_.empty() ? nullptr : shown_.back().get();
}

void DialogWindows::deliver(DialogInput input, const std::string& what) {
    DialogWindow* dialog = current();
    if (dialog == nullptr || !dialog->visible()) {
        trace_.screen("user " + what + ": no dialog is shown");
        return;
    }
    if (dialog->modalBoxOpen) {
        trace_.screen("user " + what + ": lost, a message box is open");
        return;
    }
    trace_.screen("user " + what);
    dialog->post(input);
}

void DialogWindows::click(std::int32_t control) {
    deliver({DialogInput::Kind::Click, control}, "clicks control " + std::to_string(control));
}

void DialogWindows::closeBox() {
    deliver({DialogInput::Kind::CloseBox, 0}, "clicks the close box");
}

void DialogWindows::paint() {
    DialogWindow* dialog = current();
    if (dialog != nullptr && dialog->visible()) {
        dialog->post({DialogInput::Kind::Paint, 0});
    }
}

}  // namespace tw::sim
