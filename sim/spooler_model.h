// The print spooler of the simulated machine: the service's state (running or
// stopped), the local print queues with their driver and their jobs, the
// printer drivers registered with the print server, the files the service
// holds open while it runs, and the printer driver directory.
//
// While the service is stopped every spooler call fails with
// RPC_S_SERVER_UNAVAILABLE, as on Windows. Jobs leave a queue at a time set by
// the scenario after the queue is purged, or never. Driver names compare
// without regard to letter case, as the spooler compares them; deleting a
// driver takes only its registration, its files stay where they are. Sizes are
// those of the 32-bit records a 32-bit program receives.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/spooler.h"
#include "sim/file_system.h"
#include "sim/trace.h"
#include "sim/virtual_clock.h"

namespace tw::sim {

struct PrintQueue {
    std::u16string name;
    std::u16string driverName;  // empty: the record carries no driver name
    std::u16string portName = u"USB001";
    std::uint32_t jobs = 0;
    // How long after a purge request the jobs are gone; nothing: they never
    // leave (a job stuck in a device that does not answer).
    std::optional<Millis> jobsLeaveAfterPurge = Millis{0};
    // Reads of the queue's level-2 information (GetPrinterW with a buffer),
    // counted from 1, that fail with `readError`.
    std::set<std::uint32_t> failingReads;
    std::uint32_t readError = 8;  // ERROR_NOT_ENOUGH_MEMORY

    // Bookkeeping, for tests.
    std::uint32_t reads = 0;
    std::uint32_t purges = 0;
    bool deleted = false;
};

class SpoolerModel {
  public:
    SpoolerModel(VirtualClock& clock, Trace& trace, FileSystem& files)
        : clock_(clock), trace_(trace), files_(files) {}

    // --- Setting up a scenario ------------------------------------------------
    PrintQueue& addQueue(PrintQueue queue);
    // A file the service keeps open while it runs (a port monitor library):
    // deleting it fails with a sharing violation until the service stops.
    void holdWhileRunning(std::u16string_view path);
    void setRunning(bool running) { running_ = running; }

    // --- The service -----------------------------------------------------------
    bool running() const { return running_; }
    // Stopping releases the held files; starting takes those that are still
    // there again. Both are traced.
    void stop();
    void start();

    // --- Queues ------------------------------------------------------------------
    // The queues in enumeration order, deleted ones left out.
    std::vector<std::shared_ptr<PrintQueue>> queues() const;
    std::shared_ptr<PrintQueue> find(std::u16string_view name) const;
    // Asks for the queue's jobs to be dropped: they leave after the queue's
    // set delay, or never.
    void purge(const std::shared_ptr<PrintQueue>& queue);
    void remove(const std::shared_ptr<PrintQueue>& queue);

    // The level-2 record of a queue, and its size in the 32-bit layout: the
    // 84-byte record followed by the strings it points to and its device mode.
    static platform::PrinterInfo2 Record(const PrintQueue& queue);
    static std::uint32_t RecordSize32(const PrintQueue& queue);

    // --- Printer drivers (by model name) ------------------------------------------
    void addDriver(std::u16string_view name);
    bool hasDriver(std::u16string_view name) const;
    const std::vector<std::u16string>& driverNames() const { return drivers_; }
    // DeletePrinterDriverExW: 0, or ERROR_UNKNOWN_PRINTER_DRIVER.
    std::uint32_t removeDriver(std::u16string_view name);

    // --- Driver directory --------------------------------------------------------
    // "<system folder>\spool\drivers\<environment>": W32X86 for a 32-bit
    // program (on either system), x64 for a 64-bit one.
    static std::u16string DriverDirectory(std::u16string_view systemFolder, bool program32);

  private:
    // Marks the held files that are still there as open (or no longer).
    void holdFiles(bool inUse);

    VirtualClock& clock_;
    Trace& trace_;
    FileSystem& files_;
    bool running_ = true;
    std::vector<std::shared_ptr<PrintQueue>> queues_;
    std::vector<std::u16string> drivers_;
    std::vector<std::u16string> held_;
};

}  // namespace tw::sim
