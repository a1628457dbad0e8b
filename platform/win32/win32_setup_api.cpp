#include "platform/win32/win32_setup_api.h"

#include <windows.h>

#include <setupapi.h>

#include "platform/win32/wide.h"

namespace tw::platform::win32 {

Result<bool> Win32SetupApi::SetupCopyOEMInfW(std::u16string_view sourceInf, std::uint32_t mediaType,
                                             std::uint32_t copyStyle,
                                             std::span<char16_t> destination,
                                             std::uint32_t& requiredSize,
                                             std::size_t& fileNamePart) {
    std::wstring source = Wide(sourceInf);
    auto* buffer = reinterpret_cast<wchar_t*>(destination.data());
    DWORD required = 0;
    wchar_t* namePart = nullptr;
    bool ok =
        ::SetupCopyOEMInfW(source.c_str(), nullptr, mediaType, copyStyle,
                           destination.empty() ? nullptr : buffer,
                           static_cast<DWORD>(destination.size()), &required, &namePart) != FALSE;
    std::uint32_t error = ok ? 0u : static_cast<std::uint32_t>(::GetLastError());
    requiredSize = required;
    if (ok && namePart != nullptr) {
        fileNamePart = static_cast<std::size_t>(namePart - buffer);
    }
    return {ok, error};
}

}  // namespace tw::platform::win32
