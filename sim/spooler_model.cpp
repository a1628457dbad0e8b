#include "sim/spooler_model.h"

#include <algorithm>

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {
namespace {

// PRINTER_INFO_2 of a 32-bit program: thirteen 4-byte pointers and eight
// 4-byte numbers.
constexpr std::uint32_t kPrinterInfo2Size32 = 84;
// The device mode the spooler appends (DEVMODEW without driver extra bytes).
constexpr std::uint32_t kDevModeSize = 220;

std::uint32_t StringBytes(std::u16string_view text) {
    return text.empty() ? 0 : static_cast<std::uint32_t>((text.size() + 1) * 2);
}

}  // namespace

PrintQueue& SpoolerModel::addQueue(PrintQueue queue) {
    queues_.push_back(std::make_shared<PrintQueue>(std::move(queue)));
    return *queues_.back();
}

void SpoolerModel::holdWhileRunning(std::u16string_view path) {
    held_.emplace_back(NormalizePath(path));
    if (running_) {
        if (FileNode* node = files_.find(path)) {
            node->inUse = true;
        }
    }
}

void SpoolerModel::stop() {
    running_ = false;
    holdFiles(false);
    trace_.effect("print spooler stopped");
}

void SpoolerModel::start() {
    running_ = true;
    holdFiles(true);
    trace_.effect("print spooler started");
}

void SpoolerModel::holdFiles(bool inUse) {
    for (const std::u16string& path : held_) {
        if (FileNode* node = files_.find(path)) {
            node->inUse = inUse;
        }
    }
}

std::vector<std::shared_ptr<PrintQueue>> SpoolerModel::queues() const {
    std::vector<std::shared_ptr<PrintQueue>> out;
    for (const auto& queue : queues_) {
        if (!queue->deleted) {
            out.push_back(queue);
        }
    }
    return out;
}

std::shared_ptr<PrintQueue> SpoolerModel::find(std::u16string_view name) const {
    for (const auto& queue : queues_) {
        // Printer names are compared without regard to letter case.
        if (!queue->deleted && EqualsNoCase(queue->name, name)) {
            return queue;
        }
    }
    return nullptr;
}

void SpoolerModel::purge(const std::shared_ptr<PrintQueue>& queue) {
    ++queue->purges;
    trace_.effect("print queue \"" + Utf8(queue->name) + "\" purge requested (" +
                  std::to_string(queue->jobs) + " jobs)");
    if (queue->jobs == 0 || !queue->jobsLeaveAfterPurge) {
        return;
    }
    clock_.scheduleIn(*queue->jobsLeaveAfterPurge, "jobs of " + Utf8(queue->name) + " leave",
                      [this, queue]() {
                          queue->jobs = 0;
                          trace_.effect("print queue \"" + Utf8(queue->name) + "\" emptied");
                      });
}

void SpoolerModel::remove(const std::shared_ptr<PrintQueue>& queue) {
    queue->deleted = true;
    trace_.effect("print queue \"" + Utf8(queue->name) + "\" deleted");
}

void SpoolerModel::addDriver(std::u16string_view name) {
    if (!hasDriver(name)) {
        drivers_.emplace_back(name);
    }
}

bool SpoolerModel::hasDriver(std::u16string_view name) const {
    return std::any_of(drivers_.begin(), drivers_.end(),
                       [&](const std::u16string& known) { return EqualsNoCase(known, name); });
}

std::uint32_t SpoolerModel::removeDriver(std::u16string_view name) {
    auto it = std::find_if(drivers_.begin(), drivers_.end(),
                           [&](const std::u16string& known) { return EqualsNoCase(known, name); });
    if (it == drivers_.end()) {
        return win::kErrorUnknownPrinterDriver;
    }
    trace_.effect("printer driver deleted " + Utf8(*it));
    drivers_.erase(it);
    return 0;
}

platform::PrinterInfo2 SpoolerModel::Record(const PrintQueue& queue) {
    platform::PrinterInfo2 record;
    record.printerName = queue.name;
    record.driverName = queue.driverName;
    record.jobs = queue.jobs;
    return record;
}

std::uint32_t SpoolerModel::RecordSize32(const PrintQueue& queue) {
    // The strings a local queue's record points to: its name, port, driver,
    // print processor ("winprint") and data type ("RAW").
    return kPrinterInfo2Size32 + StringBytes(queue.name) + StringBytes(queue.portName) +
           StringBytes(queue.driverName) + StringBytes(u"winprint") + StringBytes(u"RAW") +
           kDevModeSize;
}

std::u16string SpoolerModel::DriverDirectory(std::u16string_view systemFolder, bool program32) {
    return std::u16string(systemFolder) + u"\\spool\\drivers\\" + (program32 ? u"W32X86" : u"x64");
}

}  // namespace tw::sim
