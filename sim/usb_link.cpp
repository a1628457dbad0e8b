#include "sim/usb_link.h"

#include <algorithm>

#include "platform/win_codes.h"
#include "sim/machine.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

std::string Count(std::uint32_t bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace

DeviceLinkObject::DeviceLinkObject(std::shared_ptr<UsbPrinterInterface> target,
                                   std::uint32_t openAccess, std::uint32_t openShareMode,
                                   std::uint32_t openDisposition, std::uint32_t flags)
    : device(std::move(target)),
      access(openAccess),
      shareMode(openShareMode),
      disposition(openDisposition),
      flagsAndAttributes(flags),
      reads((openAccess & win::kGenericRead) != 0),
      writes((openAccess & win::kGenericWrite) != 0),
      sharesRead((openShareMode & win::kFileShareRead) != 0),
      sharesWrite((openShareMode & win::kFileShareWrite) != 0) {
    UsbPrinterInterface::OpenLinks& links = device->links;
    ++links.count;
    links.reading += reads ? 1 : 0;
    links.writing += writes ? 1 : 0;
    links.refusingReaders += sharesRead ? 0 : 1;
    links.refusingWriters += sharesWrite ? 0 : 1;
    ++device->linksOpened;
}

DeviceLinkObject::~DeviceLinkObject() {
    UsbPrinterInterface::OpenLinks& links = device->links;
    --links.count;
    links.reading -= reads ? 1 : 0;
    links.writing -= writes ? 1 : 0;
    links.refusingReaders -= sharesRead ? 0 : 1;
    links.refusingWriters -= sharesWrite ? 0 : 1;
}

std::string DeviceLinkObject::Utf8Path() const {
    return Utf8(device->path);
}

platform::Result<platform::Handle> OpenDeviceLink(SimMachine& machine, std::u16string_view path,
                                                  std::uint32_t access, std::uint32_t shareMode,
                                                  std::uint32_t disposition,
                                                  std::uint32_t flagsAndAttributes) {
    std::string call = "CreateFileW(\"" + Utf8(path) + "\")";
    auto fail = [&](std::uint32_t error) {
        machine.trace.call(call + " -> INVALID_HANDLE_VALUE, error " + std::to_string(error));
        return platform::Result<platform::Handle>{platform::kInvalidHandleValue, error};
    };
    if (disposition < 1 || disposition > 5) {
        return fail(win::kErrorInvalidParameter);
    }
    std::shared_ptr<UsbPrinterInterface> device = machine.usb.findPresent(path);
    if (!device) {
        // No such device object: switched off, unplugged, or never there.
        return fail(win::kErrorFileNotFound);
    }
    if (device->openError != 0) {
        return fail(device->openError);
    }
    // Sharing, as for files: each side must let the other do what it does.
    const UsbPrinterInterface::OpenLinks& links = device->links;
    bool wantsRead = (access & win::kGenericRead) != 0;
    bool wantsWrite = (access & win::kGenericWrite) != 0;
    if ((wantsRead && links.refusingReaders > 0) || (wantsWrite && links.refusingWriters > 0) ||
        (links.reading > 0 && (shareMode & win::kFileShareRead) == 0) ||
        (links.writing > 0 && (shareMode & win::kFileShareWrite) == 0)) {
        return fail(win::kErrorSharingViolation);
    }
    if (device->engraver) {
        device->engraver->dropPending();
    }
    platform::Handle handle = machine.handles.add(std::make_shared<DeviceLinkObject>(
        device, access, shareMode, disposition, flagsAndAttributes));
    machine.trace.call(call + " -> device link");
    return {handle, 0};
}

platform::Result<bool> WriteDeviceLink(SimMachine& machine, DeviceLinkObject& link,
                                       std::span<const std::uint8_t> bytes,
                                       std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    std::string call = "WriteFile(" + link.describe() + ", " +
                       Count(static_cast<std::uint32_t>(bytes.size())) + ")";
    auto fail = [&](std::uint32_t error) {
        machine.trace.call(call + " -> 0, error " + std::to_string(error));
        return platform::Result<bool>{false, error};
    };
    if (auto planned = machine.faults.check("WriteFile", link.device->path)) {
        return fail(*planned);
    }
    if (!link.writes) {
        return fail(win::kErrorAccessDenied);
    }
    if (!link.device->present()) {
        return fail(win::kErrorDeviceNotConnected);
    }
    LinkTransfer transfer{true, static_cast<std::uint32_t>(bytes.size()), 0};
    if (link.device->engraver) {
        transfer = link.device->engraver->write(bytes, machine.clock.now());
    }
    if (!transfer.ok) {
        return fail(transfer.error);
    }
    bytesWritten = transfer.bytes;
    machine.trace.call(call + " -> 1, " + Count(transfer.bytes) + " written");
    if (link.device->engraver && transfer.bytes > 0) {
        bool query = std::equal(bytes.begin(), bytes.end(), EngraverDevice::StatusQuery().begin(),
                                EngraverDevice::StatusQuery().end());
        machine.trace.effect(query ? "engraver took a status query"
                                   : "engraver took " + Count(transfer.bytes));
    }
    return {true, 0};
}

platform::Result<bool> ReadDeviceLink(SimMachine& machine, DeviceLinkObject& link,
                                      std::span<std::uint8_t> buffer, std::uint32_t& bytesRead) {
    bytesRead = 0;
    std::string call = "ReadFile(" + link.describe() + ", up to " +
                       Count(static_cast<std::uint32_t>(buffer.size())) + ")";
    auto fail = [&](std::uint32_t error) {
        machine.trace.call(call + " -> 0, error " + std::to_string(error));
        return platform::Result<bool>{false, error};
    };
    if (auto planned = machine.faults.check("ReadFile", link.device->path)) {
        return fail(*planned);
    }
    if (!link.reads) {
        return fail(win::kErrorAccessDenied);
    }
    if (!link.device->present()) {
        return fail(win::kErrorDeviceNotConnected);
    }
    // Another printer never answers: its reads deliver nothing.
    LinkTransfer transfer{true, 0, 0};
    if (link.device->engraver) {
        transfer = link.device->engraver->read(buffer);
    }
    if (!transfer.ok) {
        return fail(transfer.error);
    }
    bytesRead = transfer.bytes;
    machine.trace.call(call + " -> 1, " + Count(transfer.bytes) + ": " +
                       HexBytes(buffer.first(transfer.bytes)));
    return {true, 0};
}

}  // namespace tw::sim
