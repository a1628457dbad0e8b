#include "sim/fault_plan.h"

#include <gtest/gtest.h>

namespace tw::sim {
namespace {

TEST(FaultPlan, FailsTheNthMatchingCallOnce) {
    FaultPlan plan;
    std::size_t rule = plan.add({.function = "DeleteFileW", .nthCall = 2, .error = 32});
    EXPECT_FALSE(plan.check("DeleteFileW", u"a"));
    EXPECT_FALSE(plan.check("CreateProcessW", u"a"));
    EXPECT_EQ(plan.check("DeleteFileW", u"b"), 32u);
    EXPECT_FALSE(plan.check("DeleteFileW", u"c"));
    EXPECT_EQ(plan.fired(rule), 1u);
}

TEST(FaultPlan, PersistentRuleFailsFromThenOn) {
    FaultPlan plan;
    plan.add({.function = "ReadFile", .nthCall = 2, .error = 31, .persistent = true});
    EXPECT_FALSE(plan.check("ReadFile"));
    EXPECT_EQ(plan.check("ReadFile"), 31u);
    EXPECT_EQ(plan.check("ReadFile"), 31u);
    EXPECT_EQ(plan.fired(0), 2u);
}

TEST(FaultPlan, ArgumentFilterIgnoresLetterCase) {
    FaultPlan plan;
    plan.add({.function = "DeleteFileW", .argumentContains = u"kelvra.dll", .error = 5});
    EXPECT_FALSE(plan.check("DeleteFileW", u"C:\\x\\kelvra.pcd"));
    EXPECT_EQ(plan.check("DeleteFileW", u"C:\\X\\KELVRA.DLL"), 5u);
}

TEST(FaultPlan, ReportsRulesThatNeverFired) {
    FaultPlan plan;
    plan.add({.function = "A", .error = 1});
    plan.add({.function = "B", .error = 2});
    plan.check("A");
    ASSERT_EQ(plan.unfired().size(), 1u);
    EXPECT_EQ(plan.unfired()[0]->function, "B");
}

// Random mode: only the listed functions fail, with their own codes, at about
// the set rate, and the same seed gives the same faults.
std::vector<RandomFault> RunRandom(std::uint64_t seed, double rate) {
    std::mt19937_64 source(seed);
    FaultPlan plan;
    plan.enableRandom({rate, {{"DeleteFileW", {5, 32}}, {"WriteFile", {31}}}}, source);
    for (int call = 0; call < 1000; ++call) {
        std::optional<std::uint32_t> error = plan.check("DeleteFileW", u"f");
        if (error) {
            EXPECT_TRUE(*error == 5 || *error == 32);
        }
        EXPECT_FALSE(plan.check("CreateProcessW", u"p"));
        error = plan.check("WriteFile");
        if (error) {
            EXPECT_EQ(*error, 31u);
        }
    }
    return plan.randomFired();
}

TEST(FaultPlan, RandomFaultsFollowTheRateAndTheSeed) {
    std::vector<RandomFault> first = RunRandom(7, 0.1);
    EXPECT_GT(first.size(), 120u);  // about 200 of 2000 eligible calls
    EXPECT_LT(first.size(), 280u);
    std::vector<RandomFault> again = RunRandom(7, 0.1);
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(again[i].function, first[i].function);
        EXPECT_EQ(again[i].error, first[i].error);
    }
    std::vector<RandomFault> other = RunRandom(8, 0.1);
    bool differs = other.size() != first.size();
    for (std::size_t i = 0; !differs && i < first.size(); ++i) {
        differs = other[i].function != first[i].function || other[i].error != first[i].error;
    }
    EXPECT_TRUE(differs);
    EXPECT_TRUE(RunRandom(7, 0).empty());
}

TEST(FaultPlan, PlannedRuleComesBeforeRandomFaults) {
    std::mt19937_64 source(1);
    FaultPlan plan;
    plan.add({.function = "DeleteFileW", .error = 2});
    plan.enableRandom({1.0, {{"DeleteFileW", {5}}}}, source);
    EXPECT_EQ(plan.check("DeleteFileW"), 2u);
    EXPECT_EQ(plan.check("DeleteFileW"), 5u);
    EXPECT_EQ(plan.randomFired().size(), 1u);
}

}  // namespace
}  // namespace tw::sim
