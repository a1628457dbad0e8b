// The engraver at the far end of its USB link, as the simulated machine plays
// it. It takes the bytes it is sent and records every write (its size and the
// bytes it took), so a test can check the pieces of a firmware transfer and
// that the table arrived byte for byte. It answers every complete status query
// with one reply: a scripted one while the script lasts, then its standard
// reply "!BE 4;" 00 00 00 <status>. A scenario can make its writes short,
// report nothing written or fail, and its reads fail, one after the other.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "sim/virtual_clock.h"

namespace tw::sim {

// One write the engraver received.
struct EngraverWrite {
    Millis at = 0;
    std::uint32_t offered = 0;           // the bytes the program asked to write
    std::vector<std::uint8_t> accepted;  // the bytes the engraver took
};

// What one write on the link does.
struct WriteOutcome {
    enum class Kind { Whole, Partial, Fail };
    Kind kind = Kind::Whole;
    std::uint32_t accepted = 0;  // Partial: bytes taken (0: the write reports none written)
    std::uint32_t error = 0;     // Fail: the code the write fails with

    static WriteOutcome whole() { return {}; }
    static WriteOutcome partial(std::uint32_t bytes) { return {Kind::Partial, bytes, 0}; }
    static WriteOutcome fail(std::uint32_t code) { return {Kind::Fail, 0, code}; }
};

// What one read on the link does: deliver what is waiting, or fail.
struct ReadOutcome {
    bool fails = false;
    std::uint32_t error = 0;

    static ReadOutcome deliver() { return {}; }
    static ReadOutcome fail(std::uint32_t code) { return {true, code}; }
};

// The result of one write or read as the link reports it.
struct LinkTransfer {
    bool ok = true;
    std::uint32_t bytes = 0;
    std::uint32_t error = 0;
};

class EngraverDevice {
  public:
    // The status query the engraver answers: "!BE 4;" 00 00 00 01.
    static const std::vector<std::uint8_t>& StatusQuery();
    // Its standard reply: "!BE 4;" 00 00 00 <status>.
    static std::vector<std::uint8_t> StandardReply(std::uint8_t status);

    // --- Set by a scenario ---------------------------------------------------

    // The status byte of the standard reply.
    std::uint8_t status = 0;
    // Replies to the next status queries, one each, before the standard one.
    void scriptReply(std::vector<std::uint8_t> reply) { replies_.push_back(std::move(reply)); }
    // What the next writes do, one each; `laterWrites` once the script is spent.
    void scriptWrite(WriteOutcome outcome, std::uint32_t times = 1);
    WriteOutcome laterWrites = WriteOutcome::whole();
    // What the next reads do, one each; later reads deliver.
    void scriptRead(ReadOutcome outcome, std::uint32_t times = 1);

    // --- What it received ------------------------------------------------------

    const std::vector<EngraverWrite>& writes() const { return writes_; }
    // The sizes the program offered, write by write.
    std::vector<std::uint32_t> offeredSizes() const;
    // Every byte taken that was not part of a status query, in order: the
    // firmware table as it arrived.
    std::vector<std::uint8_t> received() const;
    std::uint32_t statusQueries() const { return statusQueries_; }
    // What each read that did not fail delivered, in order.
    const std::vector<std::vector<std::uint8_t>>& deliveries() const { return deliveries_; }

    // --- The link, as the simulated kernel drives it -----------------------------

    LinkTransfer write(std::span<const std::uint8_t> bytes, Millis now);
    LinkTransfer read(std::span<std::uint8_t> buffer);
    // Forgets a reply that nobody read: a new link starts with nothing waiting.
    void dropPending() { pending_.clear(); }

  private:
    std::deque<std::vector<std::uint8_t>> replies_;
    std::deque<WriteOutcome> writeScript_;
    std::deque<ReadOutcome> readScript_;
    std::deque<std::uint8_t> pending_;  // reply bytes waiting for a read
    std::vector<EngraverWrite> writes_;
    std::uint32_t statusQueries_ = 0;
    std::vector<std::vector<std::uint8_t>> deliveries_;
};

// "21 42 45 ..." for traces and failure output.
std::string HexBytes(std::span<const std::uint8_t> bytes, std::size_t limit = 16);

}  // namespace tw::sim
