// The engraver link: finding the engraver among the USB printer-class
// interfaces and opening it (OpenEngraver), the status exchange
// (QueryEngraverStatus) and the firmware table transfer (SendFirmwareTable).
// They are operations of the wizard dialog: the dialog calls each in one
// line, passing its maker-tag flag `m_makerTagFound`, which every opening of
// the link sets anew.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/platform.h"
#include "platform/text_buffer.h"

namespace tw::engraver {

// --- Finding the engraver ----------------------------------------------------

// The engraver's USB vendor and product identifiers as they stand in its
// interface path (lower case; a path that spells them otherwise is another
// device).
inline constexpr std::u16string_view kMatchText = u"vid_fffd&pid_0001";
// The maker tag, looked for in the path of the interface that matched.
inline constexpr std::u16string_view kMakerTag = u"velmo";

// An interface path: 2048 UTF-16 units, terminator included. An interface
// whose path does not fit is passed over, never opened from a cut path.
using DevicePathBuffer = platform::TextBuffer<2048>;

// Finds the first USB printer-class interface whose path holds the match
// text and opens it for reading and writing. Sets `makerTagFound` to 0, then
// to 1 when that path holds the maker tag (whether or not the open succeeds).
// Returns the device link, which the caller closes, or a null handle when the
// engraver is absent or cannot be opened. Shows nothing.
platform::Handle OpenEngraver(platform::Platform& platform, std::int32_t& makerTagFound);

// --- The status exchange -------------------------------------------------------

// "!BE 4;" followed by 00 00 00 01, written in one write.
inline constexpr std::array<std::uint8_t, 10> kStatusQuery{'!', 'B', 'E', ' ', '4',
                                                           ';', 0,   0,   0,   1};
// The most bytes one read of the reply delivers.
inline constexpr std::size_t kStatusReplySize = 260;
// How often the query is written in one exchange: the first time, and again
// after each reply whose text lacks "!BE", up to this many writes in all.
inline constexpr int kStatusQueryAttempts = 5;
// What QueryEngraverStatus returns when no reply gave a status byte. Nonzero,
// so the wizard ends there instead of asking for the switch-off and
// switch-on that follow a status of 0.
inline constexpr std::uint8_t kStatusUnknown = 0xFF;

// What one reply says.
struct ReplyReading {
    enum class Verdict {
        Status,      // the status byte was found
        AskAgain,    // the reply text before its first ";" lacks "!BE"
        Incomplete,  // the reply ends before the status byte
    };
    Verdict verdict = Verdict::Incomplete;
    std::uint8_t status = 0;
};

// Reads one reply: `reply` holds exactly the bytes one read delivered. Its
// first ten bytes at most are scanned for ";"; at the first one, at offset i,
// the text before it (up to a NUL, if one comes first) must contain "!BE",
// and the status byte is the one at i + 4. With no ";" among them, the status
// byte is the one at offset 14.
ReplyReading ReadStatusReply(std::span<const std::uint8_t> reply);

// The status exchange over a link of its own: the status byte, or nothing
// when no reply gave one (no link, a failed or short write, a failed read, a
// reply that ends before its status byte, or a reply without "!BE" after
// every attempt).
std::optional<std::uint8_t> ExchangeEngraverStatus(platform::Platform& platform,
                                                   std::int32_t& makerTagFound);

// The status byte, or kStatusUnknown. Shows nothing.
std::uint8_t QueryEngraverStatus(platform::Platform& platform, std::int32_t& makerTagFound);

// --- The firmware table transfer --------------------------------------------------

// The firmware table, in the current folder (the package root).
inline constexpr std::u16string_view kFirmwareTableName = u"firmware_table_2.dos";
// The largest piece one write of the transfer carries.
inline constexpr std::uint32_t kFirmwarePieceSize = 2048;
// Writes in a row that may report nothing written before the transfer gives
// up as after a failed write.
inline constexpr int kWritesWithoutProgress = 3;
// The message of a failed write, with its error code.
inline constexpr std::u16string_view kWriteErrorFormat = u"WriteFile error = %d";

// Reads the firmware table whole, opens a link and sends the table in pieces
// of at most 2048 bytes. Reports each failed write in a message box (two at
// most); the link is opened and closed even when there is nothing to send.
void SendFirmwareTable(platform::Platform& platform, std::int32_t& makerTagFound);

}  // namespace tw::engraver
