// Test helper for the Windows programs that seed a machine: adds a print
// queue of a driver on a local port through the spooler, as an earlier
// installation left it. Only the tests use it; the programs never add queues.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

namespace tw::platform::win32::tests {

// Adds the queue with the "WinPrint" processor and "RAW" data; true when the
// spooler took it (GetLastError tells why not).
inline bool AddQueue(std::wstring queue, std::wstring driver, std::wstring port) {
    std::wstring processor = L"WinPrint";
    std::wstring datatype = L"RAW";
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = queue.data();
    printer.pPortName = port.data();
    printer.pDriverName = driver.data();
    printer.pPrintProcessor = processor.data();
    printer.pDatatype = datatype.data();
    HANDLE added = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (added == nullptr) {
        return false;
    }
    ::ClosePrinter(added);
    return true;
}

}  // namespace tw::platform::win32::tests
