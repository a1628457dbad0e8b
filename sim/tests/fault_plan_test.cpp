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

}  // namespace
}  // namespace tw::sim
