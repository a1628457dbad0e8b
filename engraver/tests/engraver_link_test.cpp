// Finding and opening the engraver: which interface is opened, what becomes
// of the maker-tag flag, and that the list and every block are released on
// every way out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engraver/tests/engraver_bench.h"
#include "platform/win_codes.h"
#include "sim/usb_link.h"

namespace tw::engraver {
namespace {

using testing::EngraverBench;
using testing::OtherPrinterPath;

// One USB printer-class interface of a case.
struct Device {
    std::u16string path;
    bool engraver = false;
    bool present = true;
    std::uint32_t openError = 0;
};

struct DiscoveryCase {
    const char* name;
    std::vector<Device> devices;
    std::vector<sim::FaultRule> faults;
    int opened = -1;  // the device whose link comes back; -1: no link
    std::int32_t makerTag = 0;
    std::vector<int> neverLookedAt;  // devices whose path was never asked for
    bool listMade = true;
};

void PrintTo(const DiscoveryCase& c, std::ostream* out) {
    *out << c.name;
}

std::u16string Repeated(std::u16string_view head, std::size_t length) {
    std::u16string path(head);
    path.resize(length, u'x');
    return path;
}

// An engraver path of exactly `length` units.
std::u16string EngraverPathOfLength(std::size_t length) {
    return Repeated(u"\\\\?\\usb#vid_fffd&pid_0001#", length);
}

const std::u16string kPlain = sim::EngraverInterfacePath(false);
const std::u16string kTagged = sim::EngraverInterfacePath(true);
const std::u16string kSecond = sim::EngraverInterfacePath(false, u"0002");
const std::u16string kCapitals =
    u"\\\\?\\USB#VID_FFFD&PID_0001#TW0001#{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";
const std::u16string kOther = OtherPrinterPath();

sim::FaultRule Fails(std::string function, std::u16string argument, std::uint32_t nth,
                     std::uint32_t error) {
    sim::FaultRule rule;
    rule.function = std::move(function);
    rule.argumentContains = std::move(argument);
    rule.nthCall = nth;
    rule.error = error;
    return rule;
}

class DiscoveryTest : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(DiscoveryTest, OpensTheFirstMatchingInterfaceOrNone) {
    const DiscoveryCase& c = GetParam();
    EngraverBench bench;
    for (const Device& d : c.devices) {
        sim::UsbPrinterInterface& added = d.engraver ? bench.machine.usb.addEngraver(d.path)
                                                     : bench.machine.usb.addPrinter(d.path);
        added.poweredOn = d.present;
        added.openError = d.openError;
    }
    for (const sim::FaultRule& rule : c.faults) {
        bench.machine.faults.add(rule);
    }

    platform::Handle link = OpenEngraver(bench.platform(), bench.makerTagFound);

    SCOPED_TRACE(bench.machine.trace.format());
    EXPECT_EQ(bench.makerTagFound, c.makerTag);
    const auto& all = bench.machine.usb.all();
    if (c.opened < 0) {
        EXPECT_EQ(link, platform::kNullHandle);
    } else {
        ASSERT_NE(link, platform::kNullHandle);
        auto object = bench.machine.handles.get<sim::DeviceLinkObject>(link);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->device, all[static_cast<std::size_t>(c.opened)]);
        EXPECT_EQ(object->access, win::kGenericRead | win::kGenericWrite);
        EXPECT_EQ(object->shareMode, win::kFileShareRead);
        EXPECT_EQ(object->disposition, win::kOpenAlways);
        EXPECT_EQ(object->flagsAndAttributes,
                  win::kFileFlagSequentialScan | win::kFileAttributeNormal);
        EXPECT_TRUE(bench.platform().kernel.CloseHandle(link).value);
    }
    // No other interface was opened, or even tried after a failed open.
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (static_cast<int>(i) != c.opened && all[i]->openError == 0) {
            EXPECT_EQ(all[i]->linksOpened, 0u) << sim::Utf8(all[i]->path);
        }
    }
    for (int index : c.neverLookedAt) {
        EXPECT_EQ(bench.callsMentioning(sim::Utf8(all[static_cast<std::size_t>(index)]->path)), 0u)
            << "looked at device " << index;
    }
    EXPECT_EQ(bench.callsMentioning("SetupDiDestroyDeviceInfoList -> 1"), c.listMade ? 1u : 0u);
    bench.expectAllReleased();
    EXPECT_TRUE(bench.machine.faults.unfired().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Discovery, DiscoveryTest,
    ::testing::Values(
        DiscoveryCase{"NoInterface", {}, {}, -1, 0},
        DiscoveryCase{"OnlyAnotherPrinter", {{kOther}}, {}, -1, 0},
        DiscoveryCase{"EngraverWithoutTag", {{kOther}, {kPlain, true}}, {}, 1, 0},
        DiscoveryCase{"EngraverWithTag", {{kTagged, true}}, {}, 0, 1},
        DiscoveryCase{"IdentifiersInCapitalsAreAnotherDevice", {{kCapitals, true}}, {}, -1, 0},
        DiscoveryCase{"SwitchedOffEngraverIsNotListed", {{kPlain, true, false}}, {}, -1, 0},
        DiscoveryCase{
            "TwoEngraversTheFirstIsTaken", {{kPlain, true}, {kTagged, true}}, {}, 0, 0, {1}},
        DiscoveryCase{"FirstMatchCannotBeOpenedTheSecondIsNotTried",
                      {{kPlain, true, true, win::kErrorSharingViolation}, {kSecond, true}},
                      {},
                      -1,
                      0,
                      {1}},
        DiscoveryCase{"TagSetEvenWhenTheOpenFails",
                      {{kTagged, true}},
                      {Fails("CreateFileW", u"vid_fffd", 1, win::kErrorAccessDenied)},
                      -1,
                      1},
        DiscoveryCase{
            "DetailQueryFailsBeforeTheEngraver",
            {{kOther}, {kPlain, true}},
            {Fails("SetupDiGetDeviceInterfaceDetailW", u"vid_04b8", 2, win::kErrorGenFailure)},
            -1,
            0,
            {1}},
        DiscoveryCase{
            "SizeQueryReportingNoSizeEndsTheSearch",
            {{kOther}, {kPlain, true}},
            {Fails("SetupDiGetDeviceInterfaceDetailW", u"vid_04b8", 1, win::kErrorGenFailure)},
            -1,
            0,
            {1}},
        DiscoveryCase{"AllocationFailsForOneInterfaceWhichIsSkipped",
                      {{kOther}, {kPlain, true}},
                      {Fails("GlobalAlloc", u"", 1, win::kErrorNotEnoughMemory)},
                      1,
                      0},
        DiscoveryCase{"AllocationFailsForTheFirstEngraverTheSecondIsTaken",
                      {{kTagged, true}, {kSecond, true}},
                      {Fails("GlobalAlloc", u"", 1, win::kErrorNotEnoughMemory)},
                      1,
                      0},
        DiscoveryCase{"ListCannotBeHad",
                      {{kPlain, true}},
                      {Fails("SetupDiGetClassDevsW", u"", 1, win::kErrorNotEnoughMemory)},
                      -1,
                      0,
                      {0},
                      false},
        DiscoveryCase{"EnumerationFailingEndsTheSearch",
                      {{kOther}, {kPlain, true}},
                      {Fails("SetupDiEnumDeviceInterfaces", u"", 2, win::kErrorGenFailure)},
                      -1,
                      0,
                      {1}},
        DiscoveryCase{
            "LongestPathThatFitsIsOpened", {{EngraverPathOfLength(2047), true}}, {}, 0, 0},
        DiscoveryCase{"OverLongPathIsPassedOver",
                      {{EngraverPathOfLength(2048), true}, {kPlain, true}},
                      {},
                      1,
                      0}),
    [](const ::testing::TestParamInfo<DiscoveryCase>& param) { return param.param.name; });

TEST(MakerTagFlag, EachCallSetsItAnew) {
    EngraverBench bench;
    sim::UsbPrinterInterface& tagged = bench.machine.usb.addEngraver(kTagged);
    sim::UsbPrinterInterface& plain = bench.machine.usb.addEngraver(kPlain);
    plain.poweredOn = false;
    platform::Kernel& kernel = bench.platform().kernel;

    platform::Handle link = OpenEngraver(bench.platform(), bench.makerTagFound);
    EXPECT_EQ(bench.makerTagFound, 1);
    kernel.CloseHandle(link);

    // The tagged engraver goes; the next call finds none and clears the flag.
    bench.machine.usb.unplug(tagged);
    EXPECT_EQ(OpenEngraver(bench.platform(), bench.makerTagFound), platform::kNullHandle);
    EXPECT_EQ(bench.makerTagFound, 0);

    // Back again, then an engraver without the tag ahead of nothing else.
    bench.machine.usb.plugIn(tagged);
    kernel.CloseHandle(OpenEngraver(bench.platform(), bench.makerTagFound));
    EXPECT_EQ(bench.makerTagFound, 1);
    bench.machine.usb.unplug(tagged);
    bench.machine.usb.switchOn(plain);
    link = OpenEngraver(bench.platform(), bench.makerTagFound);
    EXPECT_NE(link, platform::kNullHandle);
    EXPECT_EQ(bench.makerTagFound, 0);
    kernel.CloseHandle(link);
    bench.expectAllReleased();
}

TEST(Presence, FollowsTheUserSwitchingTheEngraverOffAndOnOverTime) {
    EngraverBench bench;
    sim::UsbDevices& usb = bench.machine.usb;
    usb.addPrinter(OtherPrinterPath());
    usb.addEngraver();
    sim::UsbPrinterInterface& engraver = usb.engraver();
    usb.switchOff(engraver, 1500);
    usb.switchOn(engraver, 4000);
    usb.unplug(engraver, 9000);
    usb.plugIn(engraver, 12000);

    // Presence checks every second, as the wizard's steps make them.
    std::string seen;
    for (int second = 0; second < 14; ++second) {
        platform::Handle link = OpenEngraver(bench.platform(), bench.makerTagFound);
        seen += link != platform::kNullHandle ? '+' : '-';
        if (link != platform::kNullHandle) {
            bench.platform().kernel.CloseHandle(link);
        }
        bench.machine.clock.advanceBy(1000);
    }
    EXPECT_EQ(seen, "++--+++++---++");
    EXPECT_EQ(bench.callsMentioning("switch off"), 1u);
    bench.expectAllReleased();
}

}  // namespace
}  // namespace tw::engraver
