// Virtual time for the simulated machine: one clock in milliseconds and one
// queue of things that happen at a set time (a child process ends, the user
// switches the engraver off, a timer falls due). Nothing sleeps for real; a
// wait moves the clock to the next event that can end it.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace tw::sim {

using Millis = std::uint64_t;
inline constexpr Millis kNever = std::numeric_limits<Millis>::max();

// Thrown when the simulated program waits for something that can never
// happen (an endless wait with nothing left in the queue): a test then fails
// with a clear reason instead of hanging.
class SimStuck : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class VirtualClock {
  public:
    using EventId = std::uint64_t;

    explicit VirtualClock(Millis start = 0) : now_(start) {}

    Millis now() const { return now_; }
    // GetTickCount: the low 32 bits of the clock, so a scenario that starts
    // just below 2^32 sees the counter wrap.
    std::uint32_t tickCount() const { return static_cast<std::uint32_t>(now_); }

    // Runs `action` when the clock reaches `at` (at once on the next advance
    // when `at` is already past). Events due at the same time run in the order
    // they were scheduled.
    EventId schedule(Millis at, std::string label, std::function<void()> action);
    EventId scheduleIn(Millis delay, std::string label, std::function<void()> action) {
        return schedule(now_ + delay, std::move(label), std::move(action));
    }
    void cancel(EventId id);

    // Moves the clock to `at`, running every event due up to then in order.
    void advanceTo(Millis at);
    void advanceBy(Millis delay) { advanceTo(now_ + delay); }

    // Runs events in order until `done()` holds or the clock would pass
    // `deadline`; the clock then stands at the moment `done()` became true,
    // or at `deadline`. Returns whether `done()` holds. With no deadline and
    // nothing left that could make `done()` true, throws SimStuck.
    bool runUntil(const std::function<bool()>& done, Millis deadline, const std::string& what);

    // The clock never runs past `at`: a run still waiting for something then
    // throws SimStuck (a wizard waiting for ever for a device that never
    // comes keeps its timer ticking, so the queue is never empty).
    void setHorizon(Millis at) { horizon_ = at; }

    std::optional<Millis> nextEventTime() const;
    std::size_t pendingEvents() const { return events_.size(); }

    // Called after each event the clock has run, with the time it ran at, so
    // that a tool can show where a long run is.
    void setProgress(std::function<void(Millis)> progress) { progress_ = std::move(progress); }

  private:
    struct Event {
        std::string label;
        std::function<void()> action;
    };
    // Keyed by (time, sequence) so that equal times keep scheduling order.
    using Key = std::pair<Millis, EventId>;

    void runNext();

    Millis now_;
    EventId nextId_ = 1;
    std::map<Key, Event> events_;
    std::function<void(Millis)> progress_;
    Millis horizon_ = kNever;
};

}  // namespace tw::sim
