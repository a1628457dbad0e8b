// What the Spooler area's driver deletion does with a model it does not know.
#include <gtest/gtest.h>

#include "platform/tests/contract_env.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

TEST(SpoolerDriversContract, DeletingAnUnknownDriverModelFails) {
    auto deleted =
        Env().platform().spooler.DeletePrinterDriverExW(u"TW Contract No Such Model", 0, 0);
    EXPECT_FALSE(deleted.value);
}

TEST(SpoolerDriversContract, AnUnknownDriverModelIsReportedAsSuch) {
    if (auto reason = Env().lacks("unknown printer driver code")) {
        GTEST_SKIP() << *reason;
    }
    auto deleted =
        Env().platform().spooler.DeletePrinterDriverExW(u"TW Contract No Such Model", 0, 0);
    EXPECT_EQ(deleted.error, win::kErrorUnknownPrinterDriver);
}

}  // namespace
}  // namespace tw::contract
