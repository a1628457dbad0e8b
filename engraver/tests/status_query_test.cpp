// The status exchange: where the status byte is read in a reply, when the
// query is written again, and that a status nobody delivered is never
// returned (least of all as 0, which would send the wizard on to the
// switch-off and switch-on steps).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engraver/tests/engraver_bench.h"
#include "platform/win_codes.h"

namespace tw::engraver {
namespace {

using testing::EngraverBench;
using Verdict = ReplyReading::Verdict;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(std::string_view text, Bytes tail = {}) {
    Bytes bytes(text.begin(), text.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

// --- One reply --------------------------------------------------------------------

struct ReplyCase {
    const char* name;
    Bytes reply;
    Verdict verdict;
    std::uint8_t status = 0;
};

void PrintTo(const ReplyCase& c, std::ostream* out) {
    *out << c.name;
}

class ReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyTest, FindsTheStatusByteOrSaysWhyNot) {
    const ReplyCase& c = GetParam();
    ReplyReading reading = ReadStatusReply(c.reply);
    EXPECT_EQ(reading.verdict, c.verdict);
    if (c.verdict == Verdict::Status) {
        EXPECT_EQ(reading.status, c.status);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyTest,
    ::testing::Values(
        ReplyCase{"StandardStatus0", Text("!BE 4;", {0, 0, 0, 0}), Verdict::Status, 0},
        ReplyCase{"StandardStatus1", Text("!BE 4;", {0, 0, 0, 1}), Verdict::Status, 1},
        ReplyCase{"StandardStatus5", Text("!BE 4;", {0, 0, 0, 5}), Verdict::Status, 5},
        ReplyCase{"LongerReplyStatusAfterSemicolon", Text("!BE;", {9, 9, 9, 0x42, 7, 7}),
                  Verdict::Status, 0x42},
        ReplyCase{"SemicolonAtOffset9StatusAt13", Text("xy!BEabcd;", {1, 2, 3, 0x77}),
                  Verdict::Status, 0x77},
        ReplyCase{"NoSemicolonInFirstTenStatusAt14", Text("!BE 4 xxxx;abc", {0x33}),
                  Verdict::Status, 0x33},
        ReplyCase{"NulAfterTheWordStillHoldsIt", Text("!BE", {0, 'x', ';', 0, 0, 0, 9}),
                  Verdict::Status, 9},
        ReplyCase{"SemicolonFirst", Text(";!BE 4;", {0, 0, 0, 1}), Verdict::AskAgain},
        ReplyCase{"TwoCharactersBeforeSemicolon", Text("!B;", {0, 0, 0, 1}), Verdict::AskAgain},
        ReplyCase{"NulBeforeTheWord", Text("x", {0, '!', 'B', 'E', ';', 0, 0, 0, 1}),
                  Verdict::AskAgain},
        ReplyCase{"WordInLowerCase", Text("!be 4;", {0, 0, 0, 1}), Verdict::AskAgain},
        ReplyCase{"WordOnlyAfterTheFirstSemicolon", Text("ab;!BE 4;", {0, 0, 0, 1}),
                  Verdict::AskAgain},
        ReplyCase{"EndsBeforeTheStatusByte", Text("!BE 4;", {0, 0, 0}), Verdict::Incomplete},
        ReplyCase{"FourteenBytesWithoutSemicolon", Text("!BE 4 00000000"), Verdict::Incomplete},
        ReplyCase{"ShortReplyWithoutSemicolon", Text("!BE"), Verdict::Incomplete},
        ReplyCase{"Nothing", {}, Verdict::Incomplete}),
    [](const auto& param) { return std::string(param.param.name); });

// --- The exchange with the simulated engraver ----------------------------------------

struct ExchangeCase {
    const char* name;
    std::vector<Bytes> replies;             // scripted, one per query
    std::vector<sim::WriteOutcome> writes;  // scripted, one per write
    std::vector<sim::ReadOutcome> reads;    // scripted, one per read
    std::optional<std::uint8_t> status;     // nothing: the status is unknown
    std::uint32_t queriesWritten = 1;       // writes offered on the link
    bool engraverThere = true;
};

void PrintTo(const ExchangeCase& c, std::ostream* out) {
    *out << c.name;
}

const Bytes kStatus0 = sim::EngraverDevice::StandardReply(0);
const Bytes kStatus1 = sim::EngraverDevice::StandardReply(1);
const Bytes kNoWord = Text(";xxxxxxxxxxxxxxxxxx");  // no "!BE" before its ";"
// A reply without "!BE" whose bytes 9 and 14 are 0: a reply buffer that kept
// them would turn the next, short reply into status 0.
const Bytes kNoWordZeros = Text("ab;", Bytes(17, 0));

class ExchangeTest : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(ExchangeTest, ReturnsTheDeliveredStatusOrUnknown) {
    const ExchangeCase& c = GetParam();
    EngraverBench bench;
    sim::UsbPrinterInterface& device = bench.machine.usb.addEngraver();
    device.poweredOn = c.engraverThere;
    sim::EngraverDevice& engraver = *device.engraver;
    engraver.status = 0x5A;  // what an unscripted query gets
    for (const Bytes& reply : c.replies) {
        engraver.scriptReply(reply);
    }
    for (const sim::WriteOutcome& write : c.writes) {
        engraver.scriptWrite(write);
    }
    for (const sim::ReadOutcome& read : c.reads) {
        engraver.scriptRead(read);
    }

    std::optional<std::uint8_t> status =
        ExchangeEngraverStatus(bench.platform(), bench.makerTagFound);

    SCOPED_TRACE(bench.machine.trace.format());
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(engraver.writes().size(), c.queriesWritten);
    for (std::uint32_t size : engraver.offeredSizes()) {
        EXPECT_EQ(size, kStatusQuery.size());
    }
    EXPECT_EQ(bench.makerTagFound, 0);
    EXPECT_TRUE(bench.machine.desktop.messageBoxes().empty());
    EXPECT_EQ(device.links.count, 0u);
    bench.expectAllReleased();
}

INSTANTIATE_TEST_SUITE_P(
    Exchanges, ExchangeTest,
    ::testing::Values(
        ExchangeCase{"Status0", {kStatus0}, {}, {}, 0},
        ExchangeCase{"Status1", {kStatus1}, {}, {}, 1},
        ExchangeCase{"ReplyWithoutWordIsAskedAgain", {kNoWord, kStatus1}, {}, {}, 1, 2},
        ExchangeCase{"ReplyWithNulBeforeWordIsAskedAgain",
                     {Bytes{0, '!', 'B', 'E', ' ', '4', ';', 'x', 'x', 'x', 'x'}, kStatus0},
                     {},
                     {},
                     0,
                     2},
        ExchangeCase{"RepliesWithoutWordEndAfterTheLastAttempt",
                     std::vector<Bytes>(kStatusQueryAttempts + 1, kNoWord),
                     {},
                     {},
                     std::nullopt,
                     kStatusQueryAttempts},
        ExchangeCase{"LastAttemptMayStillSucceed",
                     [] {
                         std::vector<Bytes> replies(kStatusQueryAttempts - 1, kNoWord);
                         replies.push_back(kStatus1);
                         return replies;
                     }(),
                     {},
                     {},
                     1,
                     kStatusQueryAttempts},
        ExchangeCase{"NoLink", {}, {}, {}, std::nullopt, 0, false},
        ExchangeCase{"QueryWriteFails",
                     {},
                     {sim::WriteOutcome::fail(win::kErrorGenFailure)},
                     {},
                     std::nullopt},
        ExchangeCase{"QueryTakenOnlyInPart", {}, {sim::WriteOutcome::partial(6)}, {}, std::nullopt},
        ExchangeCase{
            "QueryReportedUnwritten", {}, {sim::WriteOutcome::partial(0)}, {}, std::nullopt},
        ExchangeCase{
            "ReadFails", {}, {}, {sim::ReadOutcome::fail(win::kErrorGenFailure)}, std::nullopt},
        ExchangeCase{"ReplyEmpty", {Bytes{}}, {}, {}, std::nullopt},
        ExchangeCase{
            "ReplyEndsBeforeStatusByte", {Text("!BE 4;", {0, 0, 0})}, {}, {}, std::nullopt},
        ExchangeCase{"ShortReplyAfterALongOneGetsNothingOfTheOld",
                     {kNoWordZeros, Text("!BE 4;")},
                     {},
                     {},
                     std::nullopt,
                     2},
        ExchangeCase{"RequeryWriteFails",
                     {kNoWord},
                     {sim::WriteOutcome::whole(), sim::WriteOutcome::fail(win::kErrorGenFailure)},
                     {},
                     std::nullopt,
                     2},
        ExchangeCase{"RequeryReadFails",
                     {kNoWord},
                     {},
                     {sim::ReadOutcome::deliver(), sim::ReadOutcome::fail(win::kErrorGenFailure)},
                     std::nullopt,
                     2}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(QueryEngraverStatus, NoEngraverGivesTheUnknownStatus) {
    EngraverBench bench;  // no engraver at all
    EXPECT_EQ(QueryEngraverStatus(bench.platform(), bench.makerTagFound), kStatusUnknown);
    EXPECT_EQ(bench.makerTagFound, 0);
}

TEST(QueryEngraverStatus, ReturnsTheByteAndSetsTheMakerTagAnew) {
    EngraverBench bench;
    sim::UsbPrinterInterface& device =
        bench.machine.usb.addEngraver(sim::EngraverInterfacePath(true));
    device.engraver->status = 0;
    EXPECT_EQ(QueryEngraverStatus(bench.platform(), bench.makerTagFound), 0);
    EXPECT_EQ(bench.makerTagFound, 1);
    device.engraver->status = 7;
    EXPECT_EQ(QueryEngraverStatus(bench.platform(), bench.makerTagFound), 7);
    EXPECT_EQ(device.engraver->statusQueries(), 2u);
    EXPECT_EQ(device.linksOpened, 2u);
    bench.expectAllReleased();
}

}  // namespace
}  // namespace tw::engraver
