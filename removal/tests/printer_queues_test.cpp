#include "removal/printer_queues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "sim/sim_platform.h"

namespace tw::removal {
namespace {

using platform::ToUtf8;
using sim::FaultRule;
using sim::Millis;
using sim::PrintQueue;

constexpr std::u16string_view kModel = u"Tarn-Well";

PrintQueue Queue(std::u16string name, std::u16string driver, std::uint32_t jobs = 0,
                 std::optional<Millis> leaveAfterPurge = Millis{0}) {
    PrintQueue queue;
    queue.name = std::move(name);
    queue.driverName = std::move(driver);
    queue.jobs = jobs;
    queue.jobsLeaveAfterPurge = leaveAfterPurge;
    return queue;
}

// A queue's deletion as the trace shows it: its name and when it happened,
// counted from the start of the operation.
struct Deletion {
    std::string queue;
    Millis after = 0;
    bool operator==(const Deletion&) const = default;
};

void PrintTo(const Deletion& deletion, std::ostream* out) {
    *out << deletion.queue << " at +" << deletion.after << " ms";
}

// The wizard's install program on a machine with the scenario's queues.
class QueueRemoval {
  public:
    explicit QueueRemoval(const std::vector<PrintQueue>& queues,
                          const std::vector<FaultRule>& faults = {}, sim::MachineConfig config = {})
        : machine(config) {
        for (const PrintQueue& queue : queues) {
            machine.spooler.addQueue(queue);
        }
        for (const FaultRule& rule : faults) {
            machine.faults.add(rule);
        }
    }

    void run() {
        startedAt = machine.clock.now();
        RemovePrinterQueues(install.platform());
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const std::u16string& text : machine.desktop.messageTexts()) {
            out.push_back(ToUtf8(text));
        }
        return out;
    }

    std::vector<Deletion> deletions() const {
        std::vector<Deletion> out;
        for (const sim::TraceEntry& entry : machine.trace.matching("\" deleted")) {
            std::size_t open = entry.text.find('"');
            std::size_t close = entry.text.find('"', open + 1);
            out.push_back({entry.text.substr(open + 1, close - open - 1), entry.at - startedAt});
        }
        return out;
    }

    std::size_t calls(const std::string& function) const {
        return machine.trace.matching(function + "(").size();
    }

    sim::SimMachine machine;
    sim::SimPlatform install{machine, u"C:\\Package\\Systems\\Install.exe", u"C:\\Package"};
    Millis startedAt = 0;
};

struct QueueCase {
    const char* name;
    std::vector<PrintQueue> queues;
    std::vector<FaultRule> faults;
    std::vector<Deletion> deletions;  // in the order they happen
    std::vector<std::string> messages;
    std::uint32_t purges = 0;  // purge requests made, over all queues
    std::size_t handlesLeftOpen = 0;
};

void PrintTo(const QueueCase& c, std::ostream* out) {
    *out << c.name;
}

class QueueRemovalTest : public ::testing::TestWithParam<QueueCase> {};

TEST_P(QueueRemovalTest, DeletesTheDriverModelsQueuesAndReportsEachFailure) {
    const QueueCase& c = GetParam();
    QueueRemoval scenario(c.queues, c.faults);
    scenario.run();
    SCOPED_TRACE(scenario.machine.trace.format());

    EXPECT_EQ(scenario.deletions(), c.deletions);
    EXPECT_EQ(scenario.messages(), c.messages);
    EXPECT_EQ(scenario.calls("SetPrinterW"), c.purges);
    // Every handle opened was closed (but one whose closing failed), and no
    // call was made with one that was never opened.
    EXPECT_EQ(scenario.machine.handles.stillOpen().size(), c.handlesLeftOpen);
    EXPECT_TRUE(scenario.machine.trace.matching("invalid handle").empty());
    for (std::size_t i = 0; i < scenario.machine.faults.rules().size(); ++i) {
        EXPECT_GT(scenario.machine.faults.fired(i), 0u) << "planned fault " << i << " never fired";
    }
}

const std::vector<PrintQueue> kThreeOfFour = {
    Queue(u"Engraver A", std::u16string(kModel)),
    Queue(u"Office", u"Generic / Text Only"),
    Queue(u"Engraver B", std::u16string(kModel)),
    Queue(u"Engraver C", std::u16string(kModel)),
};

FaultRule Fails(std::string function, std::u16string argument, std::uint32_t error,
                std::uint32_t nth = 1, bool persistent = false) {
    FaultRule rule;
    rule.function = std::move(function);
    rule.argumentContains = std::move(argument);
    rule.error = error;
    rule.nthCall = nth;
    rule.persistent = persistent;
    return rule;
}

const QueueCase kQueueCases[] = {
    {"NoPrinterAtAll", {}, {}, {}, {}},
    {"ThreeMatchingQueuesDeletedLastEnumeratedFirst",
     kThreeOfFour,
     {},
     {{"Engraver C", 0}, {"Engraver B", 0}, {"Engraver A", 0}},
     {}},
    {"NearMissesAreNotTouched",
     {Queue(u"Other case", u"tarn-well", 2), Queue(u"Longer name", u"Tarn-Well 2", 2),
      Queue(u"Tarn-Well", u"Generic / Text Only", 2), Queue(u"No driver name", u"", 2),
      Queue(u"Shorter name", u"Tarn-Wel", 2)},
     {},
     {},
     {}},
    {"QueueWithoutJobsIsDeletedWithoutPurge",
     {Queue(u"Engraver", std::u16string(kModel), 0)},
     {},
     {{"Engraver", 0}},
     {}},
    {"JobsLeavingAfterTwoSeconds",
     {Queue(u"Engraver", std::u16string(kModel), 3, 2000)},
     {},
     {{"Engraver", 2000}},
     {},
     1},
    {"JobsNeverLeavingAreGivenUpJustAfterThirtySeconds",
     {Queue(u"Engraver", std::u16string(kModel), 3, std::nullopt)},
     {},
     {{"Engraver", 30100}},
     {"Unable to delete the printed job"},
     1},
    {"JobsGoneAtExactlyThirtySecondsEndTheWaitQuietly",
     {Queue(u"Engraver", std::u16string(kModel), 3, 30000)},
     {},
     {{"Engraver", 30000}},
     {},
     1},
    {"JobsGoneOnlyAfterTheLimitStillGetTheMessage",
     {Queue(u"Engraver", std::u16string(kModel), 3, 30050)},
     {},
     {{"Engraver", 30100}},
     {"Unable to delete the printed job"},
     1},
    {"SecondEnumerationFails",
     kThreeOfFour,
     {Fails("EnumPrintersW", {}, win::kErrorNotEnoughMemory, 2)},
     {},
     {"EnumPrinters error"}},
    {"QueueThatCannotBeOpenedIsPassedOver",
     kThreeOfFour,
     {Fails("OpenPrinterW", u"Engraver B", win::kErrorAccessDenied)},
     {{"Engraver C", 0}, {"Engraver A", 0}},
     {"OpenPrinter error"}},
    {"QueueThatCannotBeDeletedIsStillClosed",
     kThreeOfFour,
     {Fails("DeletePrinter", u"Engraver B", win::kErrorAccessDenied)},
     {{"Engraver C", 0}, {"Engraver A", 0}},
     {"DeletePrinter error"}},
    {"HandleThatCannotBeClosedIsReportedAndTheNextQueueHandled",
     {Queue(u"Engraver A", std::u16string(kModel)), Queue(u"Engraver B", std::u16string(kModel))},
     {Fails("ClosePrinter", u"Engraver B", win::kErrorInvalidHandle)},
     {{"Engraver B", 0}, {"Engraver A", 0}},
     {"ClosePrinter error"},
     0,
     1},
};

INSTANTIATE_TEST_SUITE_P(Cases, QueueRemovalTest, ::testing::ValuesIn(kQueueCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(QueueEnumeration, FirstCallOffersOneRecordThenTheSizeTheSpoolerAsked) {
    QueueRemoval scenario(kThreeOfFour);
    scenario.run();
    auto calls = scenario.machine.trace.matching("EnumPrintersW(");
    std::uint32_t needed = 0;
    for (const PrintQueue& queue : kThreeOfFour) {
        needed += sim::SpoolerModel::RecordSize32(queue);
    }
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].text.find("84 bytes) -> 0, error 122"), std::string::npos) << calls[0].text;
    EXPECT_NE(calls[1].text.find(std::to_string(needed) + " bytes) -> 1"), std::string::npos)
        << calls[1].text;
}

TEST(QueueEnumeration, StoppedSpoolerFailsBothCallsAndNothingIsHandled) {
    QueueRemoval scenario(kThreeOfFour);
    scenario.machine.spooler.setRunning(false);
    scenario.run();
    EXPECT_EQ(scenario.messages(), std::vector<std::string>{"EnumPrinters error"});
    EXPECT_EQ(scenario.calls("EnumPrintersW"), 2u);
    EXPECT_EQ(scenario.calls("OpenPrinterW"), 0u);
    EXPECT_EQ(scenario.machine.spooler.queues().size(), 4u);
}

// Reads of the queue's information during the wait that fail: each shows
// "GetPrinter error" and leaves the last known job count standing.
TEST(JobWait, EachFailingReadIsReportedAndTheLastKnownCountStands) {
    PrintQueue queue = Queue(u"Engraver", std::u16string(kModel), 2, 200);
    queue.failingReads = {2, 3};  // the reads at +100 ms and +200 ms
    QueueRemoval scenario({queue});
    scenario.run();
    SCOPED_TRACE(scenario.machine.trace.format());
    EXPECT_EQ(scenario.messages(),
              (std::vector<std::string>{"GetPrinter error", "GetPrinter error"}));
    // The jobs left at +200 ms, but that read failed: the next one sees it.
    EXPECT_EQ(scenario.deletions(), (std::vector<Deletion>{{"Engraver", 300}}));
}

TEST(JobWait, ReadsThatAlwaysFailAreReportedAtEveryPollUntilTheLimit) {
    QueueRemoval scenario(
        {Queue(u"Engraver", std::u16string(kModel), 2, 500)},
        {Fails("GetPrinterW", u"Engraver", win::kRpcSServerUnavailable, 1, true)});
    scenario.run();
    std::vector<std::string> messages = scenario.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Unable to delete the printed job");
    // One poll every 100 ms from +0 to +30100 ms, each failing.
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "GetPrinter error"), 302);
    EXPECT_EQ(scenario.deletions(), (std::vector<Deletion>{{"Engraver", 30100}}));
}

TEST(JobWait, TimeSpentOnMessageBoxesCountsAgainstTheLimit) {
    PrintQueue queue = Queue(u"Engraver", std::u16string(kModel), 2, std::nullopt);
    queue.failingReads = {1};
    QueueRemoval scenario({queue});
    scenario.machine.desktop.messageBoxReadTime = 31000;
    scenario.run();
    EXPECT_EQ(scenario.messages(),
              (std::vector<std::string>{"GetPrinter error", "Unable to delete the printed job"}));
    EXPECT_EQ(scenario.deletions(), (std::vector<Deletion>{{"Engraver", 62000}}));
}

TEST(JobWait, TickCounterWrappingDuringTheWaitDoesNotEndItEarlyOrLate) {
    sim::MachineConfig config;
    config.startTime = (Millis{1} << 32) - 10000;  // wraps 10 s into the wait
    QueueRemoval scenario({Queue(u"Engraver", std::u16string(kModel), 1, std::nullopt)}, {},
                          config);
    scenario.run();
    EXPECT_EQ(scenario.messages(), std::vector<std::string>{"Unable to delete the printed job"});
    EXPECT_EQ(scenario.deletions(), (std::vector<Deletion>{{"Engraver", 30100}}));
}

TEST(JobWait, PollsPauseBetweenReadsInsteadOfSpinning) {
    QueueRemoval scenario({Queue(u"Engraver", std::u16string(kModel), 1, 2000)});
    scenario.run();
    // 21 polls (at +0 ... +2000 ms) with a pause after each but the last.
    EXPECT_EQ(scenario.calls("GetPrinterW"), 42u);
    EXPECT_EQ(scenario.machine.trace.matching("Sleep(100)").size(), 20u);
}

}  // namespace
}  // namespace tw::removal
