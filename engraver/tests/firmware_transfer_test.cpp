// The firmware table transfer: the pieces the engraver receives, that the
// table arrives byte for byte, the messages of failed writes, and that the
// link, the file and the block are released on every way out.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engraver/tests/engraver_bench.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::engraver {
namespace {

using testing::EngraverBench;
using testing::PatternBytes;
using Sizes = std::vector<std::uint32_t>;

struct TransferCase {
    const char* name;
    std::optional<std::size_t> tableSize;   // nothing: no table in the package
    std::vector<sim::WriteOutcome> writes;  // scripted, one per write
    Sizes offered;                          // the sizes of the writes the engraver saw
    std::vector<std::string> messages;
    bool arrivesWhole = true;  // the engraver took the whole table, in order
    bool engraverThere = true;
    std::optional<sim::WriteOutcome> laterWrites;
    std::vector<sim::FaultRule> faults;
};

void PrintTo(const TransferCase& c, std::ostream* out) {
    *out << c.name;
}

const sim::WriteOutcome kFails31 = sim::WriteOutcome::fail(win::kErrorGenFailure);
const sim::WriteOutcome kTakesNothing = sim::WriteOutcome::partial(0);

sim::FaultRule FirstCallFails(std::string function, std::u16string argument) {
    sim::FaultRule rule;
    rule.function = std::move(function);
    rule.argumentContains = std::move(argument);
    rule.error = win::kErrorNotEnoughMemory;
    return rule;
}

// Writes that take nothing until the transfer gives up, then the rest at once.
Sizes StalledThenRest(std::uint32_t rest) {
    Sizes sizes(kWritesWithoutProgress, kFirmwarePieceSize);
    sizes.push_back(rest);
    return sizes;
}

class TransferTest : public ::testing::TestWithParam<TransferCase> {};

TEST_P(TransferTest, SendsTheTableInPieces) {
    const TransferCase& c = GetParam();
    EngraverBench bench;
    std::vector<std::uint8_t> table;
    if (c.tableSize) {
        table = PatternBytes(*c.tableSize);
        bench.placeFirmwareTable(table);
    }
    sim::UsbPrinterInterface& device = bench.machine.usb.addEngraver();
    device.poweredOn = c.engraverThere;
    sim::EngraverDevice& engraver = *device.engraver;
    for (const sim::WriteOutcome& write : c.writes) {
        engraver.scriptWrite(write);
    }
    if (c.laterWrites) {
        engraver.laterWrites = *c.laterWrites;
    }
    for (const sim::FaultRule& rule : c.faults) {
        bench.machine.faults.add(rule);
    }

    SendFirmwareTable(bench.platform(), bench.makerTagFound);

    SCOPED_TRACE(bench.machine.trace.format());
    EXPECT_EQ(engraver.offeredSizes(), c.offered);
    if (c.arrivesWhole) {
        EXPECT_EQ(engraver.received(), table);
    }
    std::vector<std::string> messages;
    for (const sim::MessageBoxRecord& box : bench.machine.desktop.messageBoxes()) {
        messages.push_back(platform::ToUtf8(box.text));
        EXPECT_EQ(platform::ToUtf8(box.caption), "Install");
        EXPECT_EQ(box.type, win::kMbOk);
    }
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(bench.makerTagFound, 0);
    // The link is opened once, whatever there is to send, and closed.
    EXPECT_EQ(device.linksOpened, c.engraverThere ? 1u : 0u);
    EXPECT_EQ(device.links.count, 0u);
    bench.expectAllReleased();
    EXPECT_TRUE(bench.machine.faults.unfired().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, TransferTest,
    ::testing::Values(TransferCase{"NoTable", std::nullopt, {}, {}, {}},
                      TransferCase{"EmptyTable", 0, {}, {}, {}},
                      TransferCase{"OneByte", 1, {}, {1}, {}},
                      TransferCase{"Table2048", 2048, {}, {2048}, {}},
                      TransferCase{"Table2049", 2049, {}, {2048, 1}, {}},
                      TransferCase{"Table4096", 4096, {}, {2048, 2048}, {}},
                      TransferCase{"Table4097", 4097, {}, {2048, 2048, 1}, {}},
                      TransferCase{"ShortWriteGoesOnWhereItStopped",
                                   4097,
                                   {sim::WriteOutcome::partial(1000)},
                                   {2048, 2048, 1049},
                                   {}},
                      TransferCase{"FirstWriteFailsWith5000Left",
                                   5000,
                                   {kFails31},
                                   {2048, 5000},
                                   {"WriteFile error = 31"}},
                      TransferCase{
                          "FailedWriteThenFailedRest",
                          5000,
                          {kFails31, sim::WriteOutcome::fail(win::kErrorDeviceNotConnected)},
                          {2048, 5000},
                          {"WriteFile error = 31", "WriteFile error = 1167"},
                          false},
                      TransferCase{"LastPieceFails",
                                   2049,
                                   {sim::WriteOutcome::whole(), kFails31},
                                   {2048, 1},
                                   {"WriteFile error = 31"},
                                   false},
                      TransferCase{"WritesTakingNothingTwiceThenGoingOn",
                                   5000,
                                   {kTakesNothing, kTakesNothing},
                                   {2048, 2048, 2048, 2048, 904},
                                   {}},
                      TransferCase{"WritesTakingNothingForEverEndAsAFailure",
                                   5000,
                                   {},
                                   StalledThenRest(5000),
                                   {"WriteFile error = 29"},
                                   false,
                                   true,
                                   kTakesNothing},
                      TransferCase{"NoLinkEveryWriteFailsWithInvalidHandle",
                                   5000,
                                   {},
                                   {},
                                   {"WriteFile error = 6", "WriteFile error = 6"},
                                   false,
                                   false},
                      TransferCase{"NoMemoryForTheTable",
                                   5000,
                                   {},
                                   {},
                                   {},
                                   false,
                                   true,
                                   std::nullopt,
                                   {FirstCallFails("GlobalAlloc", u"")}},
                      TransferCase{"TableCannotBeRead",
                                   5000,
                                   {},
                                   {},
                                   {},
                                   false,
                                   true,
                                   std::nullopt,
                                   {FirstCallFails("ReadFile", u"firmware_table_2.dos")}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FirmwareTablePath, TooLongForThePathBufferMeansNothingToSend) {
    // The folder fits the 260-unit buffer, the table's path in it does not.
    EngraverBench bench;
    std::u16string folder = u"C:\\" + std::u16string(240, u'p');
    bench.machine.files.addFile(folder + u"\\firmware_table_2.dos", PatternBytes(100));
    bench.install.process().currentDirectory = folder;
    sim::UsbPrinterInterface& device = bench.machine.usb.addEngraver();

    SendFirmwareTable(bench.platform(), bench.makerTagFound);

    EXPECT_TRUE(device.engraver->writes().empty());
    EXPECT_TRUE(bench.machine.desktop.messageBoxes().empty());
    EXPECT_EQ(device.linksOpened, 1u);
    EXPECT_EQ(bench.callsMentioning("firmware_table_2.dos"), 0u);
    bench.expectAllReleased();
}

}  // namespace
}  // namespace tw::engraver
