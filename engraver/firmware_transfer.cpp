// The firmware table transfer: the table is read whole into one zeroed fixed
// block before the link is opened, then sent from that block in pieces of at
// most 2048 bytes. A failed write is reported and the rest goes in one last
// write; a write that reports nothing written is tried again a few times and
// then counts as failed, so a link that takes nothing cannot hold the wizard.
#include <algorithm>

#include "engraver/engraver_link.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::engraver {
namespace {

// The firmware table in memory: the block and how many bytes of it to send.
struct FirmwareTable {
    std::uint8_t* block = nullptr;
    std::uint32_t length = 0;
};

// Reads "<current folder>\firmware_table_2.dos" whole. A missing, unreadable
// or empty table, a path that does not fit, or no memory for it, all give a
// length of 0: nothing to send.
FirmwareTable LoadFirmwareTable(platform::Kernel& kernel) {
    FirmwareTable table;
    platform::PathBuffer path;
    auto folderLength = kernel.GetCurrentDirectoryW(path.writable());
    if (folderLength.value == 0 || !path.adoptFilled(folderLength.value) ||
        !path.appendAll({u"\\", kFirmwareTableName})) {
        return table;
    }
    auto file = kernel.CreateFileW(path.view(), win::kGenericRead, win::kFileShareRead,
                                   win::kOpenExisting, win::kFileAttributeNormal);
    if (file.value == platform::kInvalidHandleValue) {
        return table;
    }
    auto size = kernel.GetFileSize(file.value);
    bool sized = !(size.value == win::kInvalidFileSize && size.error != 0) && size.value > 0;
    if (sized) {
        auto block = kernel.GlobalAlloc(win::kGptr, size.value);
        table.block = block.value;
    }
    if (table.block != nullptr) {
        std::uint32_t delivered = 0;
        auto read = kernel.ReadFile(file.value, std::span<std::uint8_t>(table.block, size.value),
                                    delivered);
        table.length = read.value ? std::min(delivered, size.value) : 0;
    }
    kernel.CloseHandle(file.value);
    return table;
}

void ReportWriteError(platform::Platform& platform, std::uint32_t code) {
    platform.window.MessageBox(
        platform::FormatCode(kWriteErrorFormat, static_cast<std::int32_t>(code)));
}

// One write of `piece`; `written` is what the system reports, never more than
// was offered.
platform::Result<bool> WritePiece(platform::Kernel& kernel, platform::Handle link,
                                  std::span<const std::uint8_t> piece, std::uint32_t& written) {
    written = 0;
    auto result = kernel.WriteFile(link, piece, written);
    written = std::min(written, static_cast<std::uint32_t>(piece.size()));
    return result;
}

}  // namespace

void SendFirmwareTable(platform::Platform& platform, std::int32_t& makerTagFound) {
    platform::Kernel& kernel = platform.kernel;
    FirmwareTable table = LoadFirmwareTable(kernel);
    platform::Handle link = OpenEngraver(platform, makerTagFound);

    std::span<const std::uint8_t> bytes;
    if (table.block != nullptr) {
        bytes = std::span<const std::uint8_t>(table.block, table.length);
    }
    std::uint32_t position = 0;
    int writesWithoutProgress = 0;
    while (table.length - position > kFirmwarePieceSize) {
        std::uint32_t written = 0;
        auto write = WritePiece(kernel, link, bytes.subspan(position, kFirmwarePieceSize), written);
        if (!write.value) {
            ReportWriteError(platform, write.error);
            break;
        }
        if (written == 0) {
            if (++writesWithoutProgress == kWritesWithoutProgress) {
                // The link takes nothing: report it as a failed write.
                ReportWriteError(platform, win::kErrorWriteFault);
                break;
            }
            continue;
        }
        writesWithoutProgress = 0;
        position += written;  // a short write goes on from where it stopped
    }
    // The last piece of an undisturbed transfer, or all the rest after a
    // failure, in one write.
    if (position < table.length) {
        std::uint32_t written = 0;
        auto write = WritePiece(kernel, link, bytes.subspan(position), written);
        if (!write.value) {
            ReportWriteError(platform, write.error);
        }
    }

    if (link != platform::kNullHandle) {
        kernel.CloseHandle(link);
    }
    if (table.block != nullptr) {
        kernel.GlobalFree(table.block);
    }
}

}  // namespace tw::engraver
