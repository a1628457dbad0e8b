#include "platform/win32/win32_setup_api.h"

#include <windows.h>
// After windows.h, which it needs.
#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/wide.h"

namespace tw::platform::win32 {
namespace {

template <class T>
Result<T> Returned(T value, bool failed) {
    return {value, failed ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

// The fixed part of SP_INF_INFORMATION (InfStyle, InfCount), the same in the
// 32-bit and 64-bit layouts; the version data follows it.
constexpr std::size_t kHeader = offsetof(SP_INF_INFORMATION, VersionData);

}  // namespace

// --- INF information and uninstall ---------------------------------------------

Result<bool> Win32SetupApi::SetupGetInfInformationW(std::u16string_view infSpec,
                                                    std::uint32_t searchControl,
                                                    InfInformation* buffer,
                                                    std::uint32_t bufferSize,
                                                    std::uint32_t& requiredSize) {
    std::wstring name = Wide(infSpec);
    DWORD required = 0;
    if (buffer == nullptr) {
        bool ok = ::SetupGetInfInformationW(name.c_str(), searchControl, nullptr, bufferSize,
                                            &required) != FALSE;
        Result<bool> result = Returned(ok, !ok);
        if (ok) {
            requiredSize = required;
        }
        return result;
    }
    // The system writes the block; never less memory than its fixed part,
    // though the size passed is the caller's.
    std::vector<std::uint8_t> block(std::max<std::size_t>(bufferSize, sizeof(SP_INF_INFORMATION)));
    bool ok = ::SetupGetInfInformationW(name.c_str(), searchControl,
                                        reinterpret_cast<PSP_INF_INFORMATION>(block.data()),
                                        bufferSize, &required) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    requiredSize = required;
    if (ok) {
        const auto* info = reinterpret_cast<const SP_INF_INFORMATION*>(block.data());
        buffer->infStyle = info->InfStyle;
        buffer->infCount = info->InfCount;
        buffer->versionData.assign(block.begin() + kHeader, block.begin() + bufferSize);
    }
    return result;
}

Result<bool> Win32SetupApi::SetupQueryInfVersionInformationW(const InfInformation& information,
                                                             std::uint32_t infIndex,
                                                             std::u16string_view key,
                                                             std::span<char16_t> buffer,
                                                             std::uint32_t& requiredSize) {
    // The block as the system laid it out.
    std::vector<std::uint8_t> block(
        std::max(kHeader + information.versionData.size(), sizeof(SP_INF_INFORMATION)));
    auto* info = reinterpret_cast<SP_INF_INFORMATION*>(block.data());
    info->InfStyle = information.infStyle;
    info->InfCount = information.infCount;
    std::copy(information.versionData.begin(), information.versionData.end(),
              block.begin() + kHeader);
    std::wstring keyText = Wide(key);
    DWORD required = 0;
    bool ok = ::SetupQueryInfVersionInformationW(
                  info, infIndex, keyText.c_str(),
                  buffer.empty() ? nullptr : reinterpret_cast<PWSTR>(buffer.data()),
                  static_cast<DWORD>(buffer.size()), &required) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    if (ok || result.error == ERROR_INSUFFICIENT_BUFFER) {
        requiredSize = required;
    }
    return result;
}

Result<bool> Win32SetupApi::SetupUninstallOEMInfW(Procedure procedure,
                                                  std::u16string_view infFileName,
                                                  std::uint32_t flags) {
    using Function = BOOL(WINAPI*)(PCWSTR, DWORD, PVOID);
    auto function = reinterpret_cast<Function>(static_cast<std::uintptr_t>(procedure));
    std::wstring name = Wide(infFileName);
    bool ok = function(name.c_str(), flags, nullptr) != FALSE;
    return Returned(ok, !ok);
}

}  // namespace tw::platform::win32
