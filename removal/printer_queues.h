// Removal of the print queues an earlier installation left: every local queue
// whose driver is the engraver's driver model is emptied of its jobs and
// deleted, so that the driver itself can be removed afterwards.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace tw::removal {

// The driver model whose queues are removed (compared exactly, letter case
// included).
inline constexpr std::u16string_view kDriverModelName = u"Tarn-Well";

// How long the jobs of a purged queue are waited for: the wait ends once more
// than this has passed since the purge request.
inline constexpr std::uint32_t kJobWaitLimit = 30000;
// The pause between two reads of a queue's job count while waiting.
inline constexpr std::uint32_t kJobPollPause = 100;

// The messages of this operation.
inline constexpr std::u16string_view kEnumPrintersError = u"EnumPrinters error";
inline constexpr std::u16string_view kOpenPrinterError = u"OpenPrinter error";
inline constexpr std::u16string_view kGetPrinterError = u"GetPrinter error";
inline constexpr std::u16string_view kJobsStayedMessage = u"Unable to delete the printed job";
inline constexpr std::u16string_view kDeletePrinterError = u"DeletePrinter error";
inline constexpr std::u16string_view kClosePrinterError = u"ClosePrinter error";

// Finds, purges and deletes the driver model's queues, the last enumerated
// first. Every failure is shown in a message box and the operation goes on.
void RemovePrinterQueues(platform::Platform& platform);

}  // namespace tw::removal
