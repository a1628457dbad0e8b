#include "sim/sim_spooler.h"

#include <string>

#include <algorithm>
#include <memory>
#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

// --- Printer drivers ---------------------------------------------------------------

platform::Result<bool> SimSpooler::DeletePrinterDriverExW(std::u16string_view driverName,
                                                          std::uint32_t deleteFlag,
                                                          std::uint32_t versionFlag) {
    std::string call = "DeletePrinterDriverExW(\"" + Utf8(driverName) + "\", " +
                       std::to_string(deleteFlag) + ", " + std::to_string(versionFlag) + ")";
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("DeletePrinterDriverExW", driverName)) {
        error = *planned;
    } else {
        error = m_.spooler.removeDriver(driverName);
    }
    m_.trace.call(call + " -> " + (error == 0 ? "1" : "0, error " + std::to_string(error)));
    return {error == 0, error};
}

namespace {

// The object behind a printer handle: the queue it was opened on. It stays
// valid after the queue's deletion until it is closed, as on Windows.
class PrinterObject : public KernelObject {
  public:
    explicit PrinterObject(std::shared_ptr<PrintQueue> target) : queue(std::move(target)) {}
    std::string describe() const override { return "printer \"" + Utf8(queue->name) + "\""; }
    std::shared_ptr<PrintQueue> queue;
};

std::string Outcome(std::uint32_t error) {
    return error == 0 ? "1" : "0, error " + std::to_string(error);
}

}  // namespace

platform::Result<bool> SimSpooler::EnumPrintersW(std::uint32_t flags, std::uint32_t bufferBytes,
                                                 std::vector<platform::PrinterInfo2>& printers,
                                                 std::uint32_t& bytesNeeded) {
    printers.clear();
    bytesNeeded = 0;
    std::string call = "EnumPrintersW(flags " + std::to_string(flags) + ", level 2, " +
                       std::to_string(bufferBytes) + " bytes)";
    std::uint32_t error = 0;
    if (auto planned = m_.faults.check("EnumPrintersW")) {
        error = *planned;
    } else if (!m_.spooler.running()) {
        error = win::kRpcSServerUnavailable;
    } else if ((flags & win::kPrinterEnumLocal) != 0) {
        auto queues = m_.spooler.queues();
        for (const auto& queue : queues) {
            bytesNeeded += SpoolerModel::RecordSize32(*queue);
        }
        if (bytesNeeded > bufferBytes) {
            error = win::kErrorInsufficientBuffer;
        } else {
            for (const auto& queue : queues) {
                printers.push_back(SpoolerModel::Record(*queue));
            }
        }
    }
    m_.trace.call(call + " -> " + Outcome(error) + ", " + std::to_string(bytesNeeded) +
                  " bytes needed, " + std::to_string(printers.size()) + " records");
    return {error == 0, error};
}

platform::Result<bool> SimSpooler::OpenPrinterW(std::u16string_view printerName,
                                                std::uint32_t desiredAccess,
                                                platform::Handle& printer) {
    printer = platform::kNullHandle;
    std::uint32_t error = 0;
    std::shared_ptr<PrintQueue> queue;
    if (auto planned = m_.faults.check("OpenPrinterW", printerName)) {
        error = *planned;
    } else if (!m_.spooler.running()) {
        error = win::kRpcSServerUnavailable;
    } else if (!(queue = m_.spooler.find(printerName))) {
        error = win::kErrorInvalidPrinterName;
    } else {
        printer = m_.handles.add(std::make_shared<PrinterObject>(queue));
    }
    m_.trace.call("OpenPrinterW(\"" + Utf8(printerName) + "\", access " +
                  std::to_string(desiredAccess) + ") -> " + Outcome(error));
    return {error == 0, error};
}

platform::Result<bool> SimSpooler::SetPrinterW(platform::Handle printer, std::uint32_t command) {
    auto object = m_.handles.get<PrinterObject>(printer);
    std::string call = "SetPrinterW(" + (object ? object->describe() : "invalid handle") +
                       ", level 0, command " + std::to_string(command) + ")";
    std::uint32_t error = 0;
    if (!object) {
        error = win::kErrorInvalidHandle;
    } else if (auto planned = m_.faults.check("SetPrinterW", object->queue->name)) {
        error = *planned;
    } else if (!m_.spooler.running()) {
        error = win::kRpcSServerUnavailable;
    } else if (command == win::kPrinterControlPurge) {
        m_.spooler.purge(object->queue);
    }
    m_.trace.call(call + " -> " + Outcome(error));
    return {error == 0, error};
}

platform::Result<bool> SimSpooler::GetPrinterW(platform::Handle printer, std::uint32_t bufferBytes,
                                               platform::PrinterInfo2& info,
                                               std::uint32_t& bytesNeeded) {
    bytesNeeded = 0;
    auto object = m_.handles.get<PrinterObject>(printer);
    std::string call = "GetPrinterW(" + (object ? object->describe() : "invalid handle") +
                       ", level 2, " + std::to_string(bufferBytes) + " bytes)";
    std::uint32_t error = 0;
    if (!object) {
        error = win::kErrorInvalidHandle;
    } else if (auto planned = m_.faults.check("GetPrinterW", object->queue->name)) {
        error = *planned;
    } else if (!m_.spooler.running()) {
        error = win::kRpcSServerUnavailable;
    } else {
        PrintQueue& queue = *object->queue;
        bytesNeeded = SpoolerModel::RecordSize32(queue);
        if (bufferBytes < bytesNeeded) {
            error = win::kErrorInsufficientBuffer;
        } else if (queue.failingReads.count(++queue.reads) != 0) {
            error = queue.readError;
        } else {
            info = SpoolerModel::Record(queue);
        }
    }
    m_.trace.call(call + " -> " + Outcome(error) +
                  (error == 0 ? ", " + std::to_string(info.jobs) + " jobs"
                              : ", " + std::to_string(bytesNeeded) + " bytes needed"));
    return {error == 0, error};
}

platform::Result<bool> SimSpooler::DeletePrinter(platform::Handle printer) {
    auto object = m_.handles.get<PrinterObject>(printer);
    std::string call = "DeletePrinter(" + (object ? object->describe() : "invalid handle") + ")";
    std::uint32_t error = 0;
    if (!object) {
        error = win::kErrorInvalidHandle;
    } else if (auto planned = m_.faults.check("DeletePrinter", object->queue->name)) {
        error = *planned;
    } else if (!m_.spooler.running()) {
        error = win::kRpcSServerUnavailable;
    } else if (!object->queue->deleted) {
        m_.spooler.remove(object->queue);
    }
    m_.trace.call(call + " -> " + Outcome(error));
    return {error == 0, error};
}

platform::Result<bool> SimSpooler::ClosePrinter(platform::Handle printer) {
    auto object = m_.handles.get<PrinterObject>(printer);
    std::string call = "ClosePrinter(" + (object ? object->describe() : "invalid handle") + ")";
    std::uint32_t error = 0;
    if (!object) {
        error = win::kErrorInvalidHandle;
    } else if (auto planned = m_.faults.check("ClosePrinter", object->queue->name)) {
        error = *planned;
    } else {
        m_.handles.close(printer);
    }
    m_.trace.call(call + " -> " + Outcome(error));
    return {error == 0, error};
}

platform::Result<bool> SimSpooler::GetPrinterDriverDirectoryW(std::span<char16_t> buffer,
                                                              std::uint32_t& bytesNeeded) {
    bytesNeeded = 0;
    auto bufferBytes = static_cast<std::uint32_t>(buffer.size() * 2);
    std::string call =
        "GetPrinterDriverDirectoryW(level 1, " + std::to_string(bufferBytes) + " bytes)";
    std::uint32_t error = 0;
    std::u16string directory;
    if (auto planned = m_.faults.check("GetPrinterDriverDirectoryW")) {
        error = *planned;
    } else if (!m_.spooler.running()) {
        error = win::kRpcSServerUnavailable;
    } else {
        // The caller's own environment: a 32-bit program gets the 32-bit
        // drivers' directory, on 64-bit Windows too.
        directory = SpoolerModel::DriverDirectory(m_.nativeSystemFolder(), process_.bits32);
        bytesNeeded = static_cast<std::uint32_t>((directory.size() + 1) * 2);
        if (bufferBytes < bytesNeeded) {
            error = win::kErrorInsufficientBuffer;
        } else {
            std::copy(directory.begin(), directory.end(), buffer.begin());
            buffer[directory.size()] = u'\0';
        }
    }
    m_.trace.call(call + " -> " + Outcome(error) +
                  (error == 0 ? ", \"" + Utf8(directory) + "\""
                              : ", " + std::to_string(bytesNeeded) + " bytes needed"));
    return {error == 0, error};
}

// --- Ports -------------------------------------------------------------------

platform::Result<bool> SimSpooler::EnumPortsW(std::span<std::uint8_t> buffer,
                                              std::vector<platform::PortInfo1>& ports,
                                              std::uint32_t& needed, std::uint32_t& returned) {
    ports.clear();
    returned = 0;
    std::string call = "EnumPortsW(level 1, " + std::to_string(buffer.size()) + " bytes)";
    if (auto planned = m_.faults.check("EnumPortsW")) {
        m_.trace.call(call + " -> 0, error " + std::to_string(*planned));
        return {false, *planned};
    }
    // The 32-bit layout: one 4-byte record (the name's address) per port,
    // then the names with their terminators.
    std::size_t size = 0;
    for (const std::u16string& name : m_.ports.names) {
        size += 4 + (name.size() + 1) * sizeof(char16_t);
    }
    needed = static_cast<std::uint32_t>(size);
    if (buffer.size() < size) {
        m_.trace.call(call + " -> 0, error 122, needed " + std::to_string(size));
        return {false, win::kErrorInsufficientBuffer};
    }
    for (const std::u16string& name : m_.ports.names) {
        ports.push_back({name});
    }
    returned = static_cast<std::uint32_t>(ports.size());
    m_.trace.call(call + " -> 1, " + std::to_string(returned) + " ports");
    return {true, 0};
}

}  // namespace tw::sim
