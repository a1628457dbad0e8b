// What the Spooler area's calls do: results, error codes and the sizes of the
// 32-bit layout, on the simulated machine and on the real system alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::contract {
namespace {

using platform::Handle;
using platform::PrinterInfo2;
using platform::ToUtf8;

// The size of one 32-bit level-2 record with no room for its strings.
constexpr std::uint32_t kOneRecord = 84;

class SpoolerContract : public ::testing::Test {
  protected:
    platform::Spooler& spooler = Env().platform().spooler;

    // A queue of its own for each case, so that cases never meet.
    std::u16string addQueue(std::u16string_view driver) {
        static int count = 0;
        std::u16string name = u"Tarnwell contract " + platform::FromUtf8(std::to_string(++count));
        Env().addPrinterQueue(name, driver);
        return name;
    }

    const PrinterInfo2* findIn(const std::vector<PrinterInfo2>& printers,
                               std::u16string_view name) {
        auto it = std::find_if(printers.begin(), printers.end(),
                               [&](const PrinterInfo2& p) { return p.printerName == name; });
        return it == printers.end() ? nullptr : &*it;
    }

    std::vector<PrinterInfo2> enumerateAll() {
        std::vector<PrinterInfo2> printers;
        std::uint32_t needed = 0;
        if (!spooler.EnumPrintersW(win::kPrinterEnumLocal, kOneRecord, printers, needed).value) {
            EXPECT_TRUE(
                spooler.EnumPrintersW(win::kPrinterEnumLocal, needed, printers, needed).value);
        }
        return printers;
    }
};

TEST_F(SpoolerContract, EnumerationNeedsItsReportedSizeToTheByte) {
    std::u16string name = addQueue(u"Tarn-Well");
    std::vector<PrinterInfo2> printers;
    std::uint32_t needed = 0;
    auto first = spooler.EnumPrintersW(win::kPrinterEnumLocal, kOneRecord, printers, needed);
    EXPECT_FALSE(first.value);
    EXPECT_EQ(first.error, win::kErrorInsufficientBuffer);
    EXPECT_TRUE(printers.empty());
    // One record and the strings of its name and driver at least.
    const std::u16string_view driver = u"Tarn-Well";
    EXPECT_GE(needed, kOneRecord + 2 * (name.size() + 1) + 2 * (driver.size() + 1));

    std::uint32_t neededAgain = 0;
    auto short1 = spooler.EnumPrintersW(win::kPrinterEnumLocal, needed - 1, printers, neededAgain);
    EXPECT_FALSE(short1.value);
    EXPECT_EQ(short1.error, win::kErrorInsufficientBuffer);
    EXPECT_EQ(neededAgain, needed);

    auto full = spooler.EnumPrintersW(win::kPrinterEnumLocal, needed, printers, neededAgain);
    ASSERT_TRUE(full.value) << "error " << full.error;
    const PrinterInfo2* queue = findIn(printers, name);
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(ToUtf8(queue->driverName), "Tarn-Well");
    EXPECT_EQ(queue->jobs, 0u);
}

TEST_F(SpoolerContract, OpeningAMissingPrinterFailsWithInvalidPrinterName) {
    Handle printer{7};
    auto opened =
        spooler.OpenPrinterW(u"Tarnwell contract absent", win::kPrinterAllAccess, printer);
    EXPECT_FALSE(opened.value);
    EXPECT_EQ(opened.error, win::kErrorInvalidPrinterName);
    EXPECT_EQ(printer, platform::kNullHandle);
}

TEST_F(SpoolerContract, QueueIsReadSizedThenDeletedAndClosed) {
    std::u16string name = addQueue(u"Tarn-Well");
    Handle printer = platform::kNullHandle;
    auto opened = spooler.OpenPrinterW(name, win::kPrinterAllAccess, printer);
    ASSERT_TRUE(opened.value) << "error " << opened.error;

    PrinterInfo2 info;
    std::uint32_t needed = 0;
    auto size = spooler.GetPrinterW(printer, 0, info, needed);
    EXPECT_FALSE(size.value);
    EXPECT_EQ(size.error, win::kErrorInsufficientBuffer);
    EXPECT_GE(needed, kOneRecord + 2 * (name.size() + 1));
    std::uint32_t again = 0;
    EXPECT_EQ(spooler.GetPrinterW(printer, needed - 1, info, again).error,
              win::kErrorInsufficientBuffer);
    auto read = spooler.GetPrinterW(printer, needed, info, again);
    ASSERT_TRUE(read.value) << "error " << read.error;
    EXPECT_EQ(ToUtf8(info.printerName), ToUtf8(name));
    EXPECT_EQ(ToUtf8(info.driverName), "Tarn-Well");
    EXPECT_EQ(info.jobs, 0u);

    auto deleted = spooler.DeletePrinter(printer);
    EXPECT_TRUE(deleted.value) << "error " << deleted.error;
    auto closed = spooler.ClosePrinter(printer);
    EXPECT_TRUE(closed.value) << "error " << closed.error;
    EXPECT_EQ(findIn(enumerateAll(), name), nullptr);
    Handle reopened = platform::kNullHandle;
    EXPECT_EQ(spooler.OpenPrinterW(name, win::kPrinterAllAccess, reopened).error,
              win::kErrorInvalidPrinterName);
}

TEST_F(SpoolerContract, PurgeOfAnEmptyQueueSucceeds) {
    std::u16string name = addQueue(u"Tarn-Well");
    Handle printer = platform::kNullHandle;
    ASSERT_TRUE(spooler.OpenPrinterW(name, win::kPrinterAllAccess, printer).value);
    auto purged = spooler.SetPrinterW(printer, win::kPrinterControlPurge);
    spooler.DeletePrinter(printer);
    spooler.ClosePrinter(printer);
    if (auto reason = Env().lacks("printer control commands")) {
        EXPECT_EQ(purged.error, win::kErrorInvalidLevel);
        GTEST_SKIP() << *reason;
    }
    EXPECT_TRUE(purged.value) << "error " << purged.error;
}

TEST_F(SpoolerContract, DriverDirectoryIsThatOfTheCallersEnvironmentWithItsSizeInBytes) {
    std::array<char16_t, 260> buffer{};
    std::uint32_t needed = 0;
    auto read = spooler.GetPrinterDriverDirectoryW(buffer, needed);
    ASSERT_TRUE(read.value) << "error " << read.error;
    std::u16string directory(buffer.data());
    EXPECT_EQ(needed, 2 * (directory.size() + 1));
    std::string expectedEnd =
        std::string("\\spool\\drivers\\") + (Env().program32() ? "w32x86" : "x64");
    std::string folded = ToUtf8(directory);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    ASSERT_GE(folded.size(), expectedEnd.size());
    EXPECT_EQ(folded.substr(folded.size() - expectedEnd.size()), expectedEnd);

    std::array<char16_t, 8> small{};
    std::uint32_t neededSmall = 0;
    auto cut = spooler.GetPrinterDriverDirectoryW(small, neededSmall);
    EXPECT_FALSE(cut.value);
    EXPECT_EQ(cut.error, win::kErrorInsufficientBuffer);
    EXPECT_EQ(neededSmall, needed);
}

}  // namespace
}  // namespace tw::contract
