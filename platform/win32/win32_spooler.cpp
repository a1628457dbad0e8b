#include "platform/win32/win32_spooler.h"

#include <windows.h>
// After windows.h, which it needs.
#include <winspool.h>

#include <cwchar>
#include <vector>

#include "platform/win32/wide.h"

namespace tw::platform::win32 {

// --- Printer drivers ---------------------------------------------------------------

Result<bool> Win32Spooler::DeletePrinterDriverExW(std::u16string_view driverName,
                                                  std::uint32_t deleteFlag,
                                                  std::uint32_t versionFlag) {
    std::wstring name = Wide(driverName);
    // Some spoolers fail this call without setting an error code: the code
    // left from an earlier call must not show through.
    ::SetLastError(0);
    bool ok =
        ::DeletePrinterDriverExW(nullptr, nullptr, name.data(), deleteFlag, versionFlag) != FALSE;
    return {ok, ok ? 0u : static_cast<std::uint32_t>(::GetLastError())};
}

namespace {

// PRINTER_INFO_2 as a 32-bit program has it: thirteen 4-byte pointers and
// eight 4-byte numbers. This build's records are longer by the pointers'
// extra bytes; the strings after them are the same.
constexpr DWORD kPrinterInfo2Size32 = 84;
constexpr DWORD kExtraPerRecord = sizeof(PRINTER_INFO_2W) - kPrinterInfo2Size32;

std::uint32_t LastError() {
    return static_cast<std::uint32_t>(::GetLastError());
}

std::u16string Text(const wchar_t* text) {
    return text == nullptr ? std::u16string() : Utf16(text);
}

PrinterInfo2 Record(const PRINTER_INFO_2W& info) {
    return PrinterInfo2{Text(info.pPrinterName), Text(info.pDriverName), info.cJobs};
}

HANDLE ToPrinter(Handle printer) {
    return ToWin32(printer);
}

}  // namespace

Result<bool> Win32Spooler::EnumPrintersW(std::uint32_t flags, std::uint32_t bufferBytes,
                                         std::vector<PrinterInfo2>& printers,
                                         std::uint32_t& bytesNeeded) {
    printers.clear();
    bytesNeeded = 0;
    // The records are read in this build's own layout, then sized as the
    // 32-bit layout and measured against the caller's buffer.
    DWORD needed = 0;
    DWORD returned = 0;
    if (::EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &returned) == FALSE &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return {false, LastError()};
    }
    std::vector<BYTE> block(needed);
    if (needed > 0 &&
        ::EnumPrintersW(flags, nullptr, 2, block.data(), needed, &needed, &returned) == FALSE) {
        return {false, LastError()};
    }
    bytesNeeded = needed - returned * kExtraPerRecord;
    if (bufferBytes < bytesNeeded) {
        return {false, ERROR_INSUFFICIENT_BUFFER};
    }
    const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(block.data());
    for (DWORD i = 0; i < returned; ++i) {
        printers.push_back(Record(records[i]));
    }
    return {true, 0};
}

Result<bool> Win32Spooler::OpenPrinterW(std::u16string_view printerName,
                                        std::uint32_t desiredAccess, Handle& printer) {
    std::wstring name = Wide(printerName);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, desiredAccess};
    HANDLE opened = nullptr;
    bool ok = ::OpenPrinterW(name.data(), &opened, &defaults) != FALSE;
    printer = ok ? FromWin32(opened) : kNullHandle;
    return {ok, ok ? 0u : LastError()};
}

Result<bool> Win32Spooler::SetPrinterW(Handle printer, std::uint32_t command) {
    bool ok = ::SetPrinterW(ToPrinter(printer), 0, nullptr, command) != FALSE;
    return {ok, ok ? 0u : LastError()};
}

Result<bool> Win32Spooler::GetPrinterW(Handle printer, std::uint32_t bufferBytes,
                                       PrinterInfo2& info, std::uint32_t& bytesNeeded) {
    bytesNeeded = 0;
    DWORD needed = 0;
    if (::GetPrinterW(ToPrinter(printer), 2, nullptr, 0, &needed) == FALSE &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return {false, LastError()};
    }
    bytesNeeded = needed - kExtraPerRecord;
    if (bufferBytes < bytesNeeded) {
        return {false, ERROR_INSUFFICIENT_BUFFER};
    }
    std::vector<BYTE> block(needed);
    if (::GetPrinterW(ToPrinter(printer), 2, block.data(), needed, &needed) == FALSE) {
        return {false, LastError()};
    }
    info = Record(*reinterpret_cast<const PRINTER_INFO_2W*>(block.data()));
    return {true, 0};
}

Result<bool> Win32Spooler::DeletePrinter(Handle printer) {
    bool ok = ::DeletePrinter(ToPrinter(printer)) != FALSE;
    return {ok, ok ? 0u : LastError()};
}

Result<bool> Win32Spooler::ClosePrinter(Handle printer) {
    bool ok = ::ClosePrinter(ToPrinter(printer)) != FALSE;
    return {ok, ok ? 0u : LastError()};
}

Result<bool> Win32Spooler::GetPrinterDriverDirectoryW(std::span<char16_t> buffer,
                                                      std::uint32_t& bytesNeeded) {
    DWORD needed = 0;
    bool ok =
        ::GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(buffer.data()),
                                     static_cast<DWORD>(buffer.size() * 2), &needed) != FALSE;
    bytesNeeded = needed;
    return {ok, ok ? 0u : LastError()};
}

// --- Ports -------------------------------------------------------------------

namespace {

// The size of a port list in the 32-bit layout the programs are built for:
// a 4-byte PORT_INFO_1W (the name's address) per port, then the names with
// their terminators. The x86-64 build reads 8-byte records from the system
// and reports this size, so that both builds see the same sizes.
constexpr std::size_t kPortInfo1Size32 = 4;

}  // namespace

Result<bool> Win32Spooler::EnumPortsW(std::span<std::uint8_t> buffer, std::vector<PortInfo1>& ports,
                                      std::uint32_t& needed, std::uint32_t& returned) {
    ports.clear();
    returned = 0;
    // The system's own list, read into a block of its own layout: learn the
    // size, then read; the list may have grown in between, then read again.
    std::vector<BYTE> block;
    DWORD blockNeeded = 0;
    DWORD count = 0;
    bool ok = false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        ok = ::EnumPortsW(nullptr, 1, block.empty() ? nullptr : block.data(),
                          static_cast<DWORD>(block.size()), &blockNeeded, &count) != FALSE;
        if (ok || ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            break;
        }
        block.resize(blockNeeded);
    }
    if (!ok) {
        std::uint32_t error = static_cast<std::uint32_t>(::GetLastError());
        needed = 0;
        return {false, error};
    }

    std::vector<PortInfo1> listed;
    std::size_t size = 0;
    const auto* records = reinterpret_cast<const PORT_INFO_1W*>(block.data());
    for (DWORD at = 0; at < count; ++at) {
        std::wstring_view name(records[at].pName, std::wcslen(records[at].pName));
        listed.push_back({Utf16(name)});
        size += kPortInfo1Size32 + (name.size() + 1) * sizeof(wchar_t);
    }
    needed = static_cast<std::uint32_t>(size);
    if (buffer.size() < size) {
        return {false, static_cast<std::uint32_t>(ERROR_INSUFFICIENT_BUFFER)};
    }
    ports = std::move(listed);
    returned = count;
    return {true, 0};
}

}  // namespace tw::platform::win32
