// Fuzzes the status exchange against the simulated engraver: arbitrary reply
// bytes, and arbitrary outcomes of the writes and reads on the link. Whatever
// comes, QueryEngraverStatus must return, release what it opened, write the
// query a bounded number of times, and return either the unknown status or a
// byte that the last read of the exchange delivered, at a status position.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engraver/engraver_link.h"
#include "platform/win_codes.h"
#include "sim/sim_platform.h"

namespace {

using tw::sim::ReadOutcome;
using tw::sim::WriteOutcome;

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "status query fuzz: %s\n", what);
        std::abort();
    }
}

WriteOutcome TakeWriteOutcome(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return WriteOutcome::partial(input.ConsumeIntegralInRange<std::uint32_t>(0, 12));
        case 1:
            return WriteOutcome::fail(input.ConsumeIntegral<std::uint32_t>());
        default:
            return WriteOutcome::whole();
    }
}

ReadOutcome TakeReadOutcome(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange<int>(0, 3) == 0) {
        return ReadOutcome::fail(input.ConsumeIntegral<std::uint32_t>());
    }
    return ReadOutcome::deliver();
}

// Whether `status` is a byte of `reply` at a place a status byte can have:
// four after a ";" among its first ten bytes, or offset 14.
bool AtAStatusPlace(const std::vector<std::uint8_t>& reply, std::uint8_t status) {
    for (std::size_t at = 4; at < reply.size() && at <= 14; ++at) {
        bool place = at == 14 || reply[at - 4] == ';';
        if (place && reply[at] == status) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    tw::sim::SimMachine machine;
    machine.files.addFolders(u"C:\\Package\\Systems");
    tw::sim::SimPlatform install(machine, u"C:\\Package\\Systems\\Install.exe", u"C:\\Package");
    tw::sim::UsbPrinterInterface& device = machine.usb.addEngraver();
    device.poweredOn = input.ConsumeIntegralInRange<int>(0, 15) != 0;
    tw::sim::EngraverDevice& engraver = *device.engraver;
    engraver.status = input.ConsumeIntegral<std::uint8_t>();

    int writes = input.ConsumeIntegralInRange<int>(0, 8);
    for (int i = 0; i < writes; ++i) {
        engraver.scriptWrite(TakeWriteOutcome(input));
    }
    if (input.ConsumeBool()) {
        engraver.laterWrites = TakeWriteOutcome(input);
    }
    int reads = input.ConsumeIntegralInRange<int>(0, 8);
    for (int i = 0; i < reads; ++i) {
        engraver.scriptRead(TakeReadOutcome(input));
    }
    // The rest are replies, one per query: a length, then its bytes.
    while (input.remaining_bytes() > 0) {
        auto length = input.ConsumeIntegralInRange<std::size_t>(0, 300);
        engraver.scriptReply(input.ConsumeBytes<std::uint8_t>(length));
    }

    std::int32_t makerTagFound = -1;
    std::uint8_t status = tw::engraver::QueryEngraverStatus(install.platform(), makerTagFound);

    Require(makerTagFound == 0, "maker-tag flag not set anew");
    Require(machine.handles.stillOpen().empty(), "a handle was left open");
    Require(machine.memory.outstanding() == 0, "a memory block was left allocated");
    Require(engraver.writes().size() <= tw::engraver::kStatusQueryAttempts,
            "the query was written too often");
    for (std::uint32_t offered : engraver.offeredSizes()) {
        Require(offered == tw::engraver::kStatusQuery.size(), "a write was not the query");
    }
    if (status != tw::engraver::kStatusUnknown) {
        Require(!engraver.deliveries().empty(), "a status without any reply");
        Require(AtAStatusPlace(engraver.deliveries().back(), status),
                "a status byte the last reply did not deliver");
    }
    return 0;
}
