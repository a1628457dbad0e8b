#include "sim/virtual_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw::sim {
namespace {

class VirtualClockTest : public ::testing::Test {
  protected:
    VirtualClock clock{1000};
    std::vector<std::string> ran;

    void at(Millis when, const std::string& name) {
        clock.schedule(when, name, [this, name] { ran.push_back(name); });
    }
};

TEST_F(VirtualClockTest, RunsEventsInTimeOrderAndEqualTimesInSchedulingOrder) {
    at(3000, "c");
    at(2000, "a");
    at(2000, "b");
    at(9000, "late");
    clock.advanceTo(5000);
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(clock.now(), 5000u);
    EXPECT_EQ(clock.pendingEvents(), 1u);
}

TEST_F(VirtualClockTest, RunUntilStopsWhenTheConditionBecomesTrue) {
    bool ended = false;
    clock.schedule(4000, "end", [&] { ended = true; });
    at(6000, "after");
    EXPECT_TRUE(clock.runUntil([&] { return ended; }, 10'000, "end"));
    EXPECT_EQ(clock.now(), 4000u);
    EXPECT_TRUE(ran.empty());
}

TEST_F(VirtualClockTest, RunUntilStopsAtTheDeadline) {
    bool ended = false;
    clock.schedule(20'000, "end", [&] { ended = true; });
    EXPECT_FALSE(clock.runUntil([&] { return ended; }, 11'000, "end"));
    EXPECT_EQ(clock.now(), 11'000u);
}

TEST_F(VirtualClockTest, EndlessWaitWithNothingLeftToHappenThrows) {
    EXPECT_THROW(clock.runUntil([] { return false; }, kNever, "a process that never ends"),
                 SimStuck);
}

TEST_F(VirtualClockTest, CancelledEventNeverRuns) {
    auto id = clock.schedule(2000, "gone", [this] { ran.push_back("gone"); });
    clock.cancel(id);
    clock.advanceTo(3000);
    EXPECT_TRUE(ran.empty());
}

TEST_F(VirtualClockTest, ProgressFollowsEachEventWithItsTime) {
    std::vector<Millis> seen;
    clock.setProgress([&](Millis at) { seen.push_back(at); });
    clock.schedule(2000, "a", [] {});
    clock.schedule(5000, "b", [] {});
    clock.advanceTo(9000);
    EXPECT_EQ(seen, (std::vector<Millis>{2000, 5000}));
}

TEST_F(VirtualClockTest, TickCountWrapsAtThirtyTwoBits) {
    VirtualClock nearWrap(0xFFFFFF00ull);
    nearWrap.advanceBy(0x200);
    EXPECT_EQ(nearWrap.tickCount(), 0x100u);
}

}  // namespace
}  // namespace tw::sim
