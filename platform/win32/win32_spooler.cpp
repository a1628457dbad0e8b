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
