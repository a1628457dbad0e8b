#include "sim/virtual_clock.h"

#include <algorithm>

namespace tw::sim {

VirtualClock::EventId VirtualClock::schedule(Millis at, std::string label,
                                             std::function<void()> action) {
    EventId id = nextId_++;
    events_.emplace(Key{std::max(at, now_), id}, Event{std::move(label), std::move(action)});
    return id;
}

void VirtualClock::cancel(EventId id) {
    for (auto it = events_.begin(); it != events_.end(); ++it) {
        if (it->first.second == id) {
            events_.erase(it);
            return;
        }
    }
}

void VirtualClock::runNext() {
    auto it = events_.begin();
    now_ = std::max(now_, it->first.first);
    Event event = std::move(it->second);
    events_.erase(it);
    event.action();
    if (progress_) {
        progress_(now_);
    }
}

void VirtualClock::advanceTo(Millis at) {
    while (!events_.empty() && events_.begin()->first.first <= at) {
        runNext();
    }
    now_ = std::max(now_, at);
}

bool VirtualClock::runUntil(const std::function<bool()>& done, Millis deadline,
                            const std::string& what) {
    while (!done()) {
        if (events_.empty() || events_.begin()->first.first > deadline) {
            if (deadline == kNever) {
                throw SimStuck("waiting for ever: " + what + " at " + std::to_string(now_) +
                               " ms, and nothing left to happen");
            }
            now_ = std::max(now_, deadline);
            return done();
        }
        if (events_.begin()->first.first > horizon_) {
            throw SimStuck("still " + what + " when the run's time was up (clock at " +
                           std::to_string(horizon_) + " ms)");
        }
        runNext();
    }
    return true;
}

std::optional<Millis> VirtualClock::nextEventTime() const {
    if (events_.empty()) {
        return std::nullopt;
    }
    return events_.begin()->first.first;
}

}  // namespace tw::sim
