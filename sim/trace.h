// What happened on the simulated machine, in virtual time: every system call
// the program made (with its result) and every visible change (a file deleted,
// a process started, a message box shown, a label's new text). Tests read it;
// tarnwell-sim prints it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/virtual_clock.h"

namespace tw::sim {

enum class TraceKind {
    Call,    // a system call and its result
    Effect,  // a change to the machine: files, processes, registry, devices
    Screen,  // something the user sees: message boxes, window texts
    Step,    // what a program does in its own terms: the wizard's operations
};

struct TraceEntry {
    Millis at = 0;
    TraceKind kind = TraceKind::Call;
    std::string text;  // UTF-8
};

class Trace {
  public:
    explicit Trace(const VirtualClock& clock) : clock_(clock) {}

    void call(std::string text) { add(TraceKind::Call, std::move(text)); }
    void effect(std::string text) { add(TraceKind::Effect, std::move(text)); }
    void screen(std::string text) { add(TraceKind::Screen, std::move(text)); }
    void step(std::string text) { add(TraceKind::Step, std::move(text)); }

    const std::vector<TraceEntry>& entries() const { return entries_; }
    std::vector<TraceEntry> ofKind(TraceKind kind) const;
    // Entries whose text contains `needle`.
    std::vector<TraceEntry> matching(std::string_view needle) const;
    // "[    1234 ms] effect  text" lines, for failure output and the tool.
    std::string format(bool withCalls = true) const;

  private:
    void add(TraceKind kind, std::string text) {
        entries_.push_back({clock_.now(), kind, std::move(text)});
    }

    const VirtualClock& clock_;
    std::vector<TraceEntry> entries_;
};

const char* TraceKindName(TraceKind kind);

}  // namespace tw::sim
