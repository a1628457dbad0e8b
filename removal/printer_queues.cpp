#include "removal/printer_queues.h"

#include <vector>

#include "platform/win_codes.h"

namespace tw::removal {
namespace {

using platform::Handle;
using platform::PrinterInfo2;

// The first enumeration offers room for exactly one 32-bit level-2 record and
// none of its strings: with no printer at all it is enough, otherwise the
// spooler says how much it needs.
constexpr std::uint32_t kFirstEnumerationBytes = 84;

// The local queues as level-2 records, or nothing after "EnumPrinters error".
bool EnumerateQueues(platform::Platform& platform, std::vector<PrinterInfo2>& printers) {
    std::uint32_t needed = 0;
    if (platform.spooler
            .EnumPrintersW(win::kPrinterEnumLocal, kFirstEnumerationBytes, printers, needed)
            .value) {
        return true;
    }
    printers.clear();
    std::uint32_t neededAgain = 0;
    if (platform.spooler.EnumPrintersW(win::kPrinterEnumLocal, needed, printers, neededAgain)
            .value) {
        return true;
    }
    printers.clear();
    platform.window.MessageBox(kEnumPrintersError);
    return false;
}

// Waits for a purged queue's jobs to leave: reads its level-2 information
// again and again (the size first, then the record of that size) until it
// shows no job, or until more than kJobWaitLimit ms have passed since the
// purge. The time is tested before the job count, so a queue found empty
// only after the limit still gets the message. Between two reads the
// processor is given up for a short pause.
void WaitForJobsToLeave(platform::Platform& platform, Handle printer, std::uint32_t jobs) {
    platform::Kernel& kernel = platform.kernel;
    const std::uint32_t startTick = kernel.GetTickCount().value;
    for (;;) {
        PrinterInfo2 info;
        std::uint32_t needed = 0;
        platform.spooler.GetPrinterW(printer, 0, info, needed);
        std::uint32_t copied = 0;
        if (platform.spooler.GetPrinterW(printer, needed, info, copied).value) {
            jobs = info.jobs;
        } else {
            platform.window.MessageBox(kGetPrinterError);
        }
        // Unsigned 32-bit difference: right across the tick counter's wrap.
        const std::uint32_t elapsed = kernel.GetTickCount().value - startTick;
        if (elapsed > kJobWaitLimit) {
            platform.window.MessageBox(kJobsStayedMessage);
            return;
        }
        if (jobs == 0) {
            return;
        }
        kernel.Sleep(kJobPollPause);
    }
}

void RemoveQueue(platform::Platform& platform, const PrinterInfo2& record) {
    if (record.driverName != kDriverModelName) {
        return;
    }
    Handle printer = platform::kNullHandle;
    if (!platform.spooler.OpenPrinterW(record.printerName, win::kPrinterAllAccess, printer).value) {
        // Nothing can be done with a queue that cannot be opened: it is
        // passed over, and no call is made with a handle that was never
        // opened.
        platform.window.MessageBox(kOpenPrinterError);
        return;
    }
    if (record.jobs > 0) {
        // The purge request's own result is not looked at: the wait below
        // shows whether the jobs leave.
        platform.spooler.SetPrinterW(printer, win::kPrinterControlPurge);
        WaitForJobsToLeave(platform, printer, record.jobs);
    }
    if (!platform.spooler.DeletePrinter(printer).value) {
        platform.window.MessageBox(kDeletePrinterError);
    }
    if (!platform.spooler.ClosePrinter(printer).value) {
        platform.window.MessageBox(kClosePrinterError);
    }
}

}  // namespace

void RemovePrinterQueues(platform::Platform& platform) {
    std::vector<PrinterInfo2> printers;
    if (!EnumerateQueues(platform, printers)) {
        return;
    }
    for (std::size_t index = printers.size(); index-- > 0;) {
        RemoveQueue(platform, printers[index]);
    }
}

}  // namespace tw::removal
