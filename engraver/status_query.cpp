// The status exchange: the query "!BE 4;" 00 00 00 01 in one write, one read
// of the reply, and the status byte at its place in the reply. Only bytes that
// a read of this exchange delivered are ever looked at: each read starts from
// an empty reply buffer, and the scan and the status byte stay within what it
// delivered.
#include <algorithm>

#include "engraver/engraver_link.h"

namespace tw::engraver {
namespace {

// How far the reply is scanned for the ";" that ends its text.
constexpr std::size_t kReplyTextScan = 10;
// Where the status byte lies: four bytes after the ";", or at offset 14 when
// none of the scanned bytes is a ";".
constexpr std::size_t kStatusAfterSemicolon = 4;
constexpr std::size_t kStatusWithoutSemicolon = 14;

bool HoldsReplyWord(std::span<const std::uint8_t> text) {
    // The text ends at its first NUL, as a C string would.
    auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
    constexpr std::array<std::uint8_t, 3> kWord{'!', 'B', 'E'};
    return std::search(text.begin(), end, kWord.begin(), kWord.end()) != end;
}

}  // namespace

ReplyReading ReadStatusReply(std::span<const std::uint8_t> reply) {
    std::span<const std::uint8_t> scanned = reply.first(std::min(reply.size(), kReplyTextScan));
    auto semicolon = std::find(scanned.begin(), scanned.end(), std::uint8_t{';'});
    std::size_t statusAt = kStatusWithoutSemicolon;
    if (semicolon != scanned.end()) {
        auto textLength = static_cast<std::size_t>(semicolon - scanned.begin());
        if (!HoldsReplyWord(reply.first(textLength))) {
            return {ReplyReading::Verdict::AskAgain, 0};
        }
        statusAt = textLength + kStatusAfterSemicolon;
    }
    if (statusAt >= reply.size()) {
        return {ReplyReading::Verdict::Incomplete, 0};
    }
    return {ReplyReading::Verdict::Status, reply[statusAt]};
}

std::optional<std::uint8_t> ExchangeEngraverStatus(platform::Platform& platform,
                                                   std::int32_t& makerTagFound) {
    platform::Kernel& kernel = platform.kernel;
    platform::Handle link = OpenEngraver(platform, makerTagFound);
    if (link == platform::kNullHandle) {
        return std::nullopt;
    }

    std::optional<std::uint8_t> status;
    for (int attempt = 0; attempt < kStatusQueryAttempts; ++attempt) {
        // A query the engraver did not take whole cannot be answered.
        std::uint32_t written = 0;
        auto write = kernel.WriteFile(link, kStatusQuery, written);
        if (!write.value || written != kStatusQuery.size()) {
            break;
        }
        std::array<std::uint8_t, kStatusReplySize> reply{};
        std::uint32_t delivered = 0;
        auto read = kernel.ReadFile(link, reply, delivered);
        if (!read.value) {
            break;
        }
        ReplyReading reading = ReadStatusReply(std::span<const std::uint8_t>(reply).first(
            std::min<std::size_t>(delivered, reply.size())));
        if (reading.verdict == ReplyReading::Verdict::Status) {
            status = reading.status;
        }
        if (reading.verdict != ReplyReading::Verdict::AskAgain) {
            break;
        }
    }
    kernel.CloseHandle(link);
    return status;
}

std::uint8_t QueryEngraverStatus(platform::Platform& platform, std::int32_t& makerTagFound) {
    return ExchangeEngraverStatus(platform, makerTagFound).value_or(kStatusUnknown);
}

}  // namespace tw::engraver
