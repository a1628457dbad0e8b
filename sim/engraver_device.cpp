#include "sim/engraver_device.h"

#include <algorithm>
#include <cstdio>

namespace tw::sim {

const std::vector<std::uint8_t>& EngraverDevice::StatusQuery() {
    static const std::vector<std::uint8_t> query{'!', 'B', 'E', ' ', '4', ';', 0, 0, 0, 1};
    return query;
}

std::vector<std::uint8_t> EngraverDevice::StandardReply(std::uint8_t status) {
    return {'!', 'B', 'E', ' ', '4', ';', 0, 0, 0, status};
}

void EngraverDevice::scriptWrite(WriteOutcome outcome, std::uint32_t times) {
    writeScript_.insert(writeScript_.end(), times, outcome);
}

void EngraverDevice::scriptRead(ReadOutcome outcome, std::uint32_t times) {
    readScript_.insert(readScript_.end(), times, outcome);
}

std::vector<std::uint32_t> EngraverDevice::offeredSizes() const {
    std::vector<std::uint32_t> sizes;
    sizes.reserve(writes_.size());
    for (const EngraverWrite& write : writes_) {
        sizes.push_back(write.offered);
    }
    return sizes;
}

std::vector<std::uint8_t> EngraverDevice::received() const {
    std::vector<std::uint8_t> bytes;
    for (const EngraverWrite& write : writes_) {
        if (write.accepted != StatusQuery()) {
            bytes.insert(bytes.end(), write.accepted.begin(), write.accepted.end());
        }
    }
    return bytes;
}

LinkTransfer EngraverDevice::write(std::span<const std::uint8_t> bytes, Millis now) {
    WriteOutcome outcome = laterWrites;
    if (!writeScript_.empty()) {
        outcome = writeScript_.front();
        writeScript_.pop_front();
    }
    const auto offered = static_cast<std::uint32_t>(bytes.size());
    if (outcome.kind == WriteOutcome::Kind::Fail) {
        writes_.push_back({now, offered, {}});
        return {false, 0, outcome.error};
    }
    std::uint32_t taken = offered;
    if (outcome.kind == WriteOutcome::Kind::Partial) {
        taken = std::min(outcome.accepted, offered);
    }
    std::vector<std::uint8_t> accepted(bytes.begin(), bytes.begin() + taken);
    // A complete status query is answered at once; the reply waits for a read.
    if (accepted == StatusQuery()) {
        ++statusQueries_;
        std::vector<std::uint8_t> reply = StandardReply(status);
        if (!replies_.empty()) {
            reply = std::move(replies_.front());
            replies_.pop_front();
        }
        pending_.insert(pending_.end(), reply.begin(), reply.end());
    }
    writes_.push_back({now, offered, std::move(accepted)});
    return {true, taken, 0};
}

LinkTransfer EngraverDevice::read(std::span<std::uint8_t> buffer) {
    if (!readScript_.empty()) {
        ReadOutcome outcome = readScript_.front();
        readScript_.pop_front();
        if (outcome.fails) {
            return {false, 0, outcome.error};
        }
    }
    // Delivers what is waiting, up to the buffer's size; the rest waits for
    // the next read. Nothing waiting: the read delivers no bytes.
    std::size_t count = std::min(buffer.size(), pending_.size());
    std::copy_n(pending_.begin(), count, buffer.begin());
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    deliveries_.emplace_back(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
    return {true, static_cast<std::uint32_t>(count), 0};
}

std::string HexBytes(std::span<const std::uint8_t> bytes, std::size_t limit) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        if (!out.empty()) {
            out += ' ';
        }
        out += hex;
    }
    if (bytes.size() > limit) {
        out += " ...";
    }
    return out;
}

}  // namespace tw::sim
