#include "platform/win32/win32_setup_api.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win_codes.h"

namespace tw::platform::win32 {
namespace {

template <class T>
Result<T> Returned(T value, bool failed) {
    return {value, failed ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

HDEVINFO ToWin32(DeviceInfoSet set) {
    return reinterpret_cast<HDEVINFO>(static_cast<std::uintptr_t>(set));
}

GUID ToWin32(const Guid& guid) {
    GUID out{};
    out.Data1 = guid.data1;
    out.Data2 = guid.data2;
    out.Data3 = guid.data3;
    std::memcpy(out.Data4, guid.data4.data(), sizeof out.Data4);
    return out;
}

Guid FromWin32(const GUID& guid) {
    Guid out;
    out.data1 = guid.Data1;
    out.data2 = guid.Data2;
    out.data3 = guid.Data3;
    std::memcpy(out.data4.data(), guid.Data4, sizeof guid.Data4);
    return out;
}

// A record size the core gives in its 32-bit value becomes this process's
// own; any other value passes unchanged, so that it fails as it would.
DWORD NativeSize(std::uint32_t coreSize, std::uint32_t size32, DWORD nativeSize) {
    return coreSize == size32 ? nativeSize : coreSize;
}

SP_DEVICE_INTERFACE_DATA ToWin32(const DeviceInterfaceData& data) {
    SP_DEVICE_INTERFACE_DATA out{};
    out.cbSize =
        NativeSize(data.size, win::kSpDeviceInterfaceDataSize, sizeof(SP_DEVICE_INTERFACE_DATA));
    out.InterfaceClassGuid = ToWin32(data.interfaceClass);
    out.Flags = data.flags;
    out.Reserved = static_cast<ULONG_PTR>(data.reserved);
    return out;
}

std::uint32_t ReadSizeField(const std::uint8_t* bytes) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void WriteSizeField(std::uint8_t* bytes, std::uint32_t value) {
    std::memcpy(bytes, &value, sizeof value);
}

}  // namespace

// The detail record's path starts at the same offset in both layouts; only
// its size field's expected value differs (6 in a 32-bit process, 8 in a
// 64-bit one). The size needed is the same number in both.
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) ==
              win::kSpDeviceInterfaceDetailPathOffset);

Result<DeviceInfoSet> Win32SetupApi::SetupDiGetClassDevsW(const Guid& classGuid,
                                                          std::uint32_t flags) {
    GUID guid = ToWin32(classGuid);
    HDEVINFO set = ::SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags);
    return Returned(DeviceInfoSet{reinterpret_cast<std::uintptr_t>(set)},
                    set == INVALID_HANDLE_VALUE);
}

Result<bool> Win32SetupApi::SetupDiEnumDeviceInterfaces(DeviceInfoSet set,
                                                        const Guid& interfaceClass,
                                                        std::uint32_t memberIndex,
                                                        DeviceInterfaceData& data) {
    GUID guid = ToWin32(interfaceClass);
    SP_DEVICE_INTERFACE_DATA native = ToWin32(data);
    bool ok =
        ::SetupDiEnumDeviceInterfaces(ToWin32(set), nullptr, &guid, memberIndex, &native) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    if (ok) {
        data.interfaceClass = FromWin32(native.InterfaceClassGuid);
        data.flags = native.Flags;
        data.reserved = native.Reserved;
    }
    return result;
}

Result<bool> Win32SetupApi::SetupDiGetDeviceInterfaceDetailW(DeviceInfoSet set,
                                                             const DeviceInterfaceData& data,
                                                             std::span<std::uint8_t> detail,
                                                             std::uint32_t& requiredSize) {
    SP_DEVICE_INTERFACE_DATA native = ToWin32(data);
    DWORD required = requiredSize;
    if (detail.empty()) {
        bool ok = ::SetupDiGetDeviceInterfaceDetailW(ToWin32(set), &native, nullptr, 0, &required,
                                                     nullptr) != FALSE;
        Result<bool> result = Returned(ok, !ok);
        requiredSize = required;
        return result;
    }
    // A DWORD-aligned copy in this process's layout, for the call to fill.
    std::vector<DWORD> aligned(detail.size() / sizeof(DWORD) + 1);
    auto* bytes = reinterpret_cast<std::uint8_t*>(aligned.data());
    std::copy(detail.begin(), detail.end(), bytes);
    std::uint32_t coreSizeField = detail.size() >= 4 ? ReadSizeField(bytes) : 0;
    if (detail.size() >= 4) {
        WriteSizeField(bytes, NativeSize(coreSizeField, win::kSpDeviceInterfaceDetailDataSize,
                                         sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)));
    }
    bool ok =
        ::SetupDiGetDeviceInterfaceDetailW(
            ToWin32(set), &native, reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(bytes),
            static_cast<DWORD>(detail.size()), &required, nullptr) != FALSE;
    Result<bool> result = Returned(ok, !ok);
    if (detail.size() >= 4) {
        WriteSizeField(bytes, coreSizeField);
    }
    std::copy_n(bytes, detail.size(), detail.begin());
    requiredSize = required;
    return result;
}

Result<bool> Win32SetupApi::SetupDiDestroyDeviceInfoList(DeviceInfoSet set) {
    bool ok = ::SetupDiDestroyDeviceInfoList(ToWin32(set)) != FALSE;
    return Returned(ok, !ok);
}

namespace {

// The fixed part of SP_INF_INFORMATION (InfStyle, InfCount), the same in the
// 32-bit and 64-bit layouts; the version data follows it.
constexpr std::size_t kHeader = offsetof(SP_INF_INFORMATION, VersionData);

}  // namespace

// --- INF information and uninstall ---------------------------------------------

Result<bool> Win32SetupApi::SetupGetInfInformationW(std::u16string_view infName,
                                                    std::uint32_t searchControl,
                                                    InfInformation* buffer,
                                                    std::uint32_t bufferSize,
                                                    std::uint32_t& requiredSize) {
    std::wstring name = Wide(infName);
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

// --- The restart prompt (the reboot fallback) ----------------------------------

Result<std::int32_t> Win32SetupApi::SetupPromptReboot() {
    int flags = ::SetupPromptReboot(nullptr, nullptr, FALSE);
    return {flags, flags == -1 ? static_cast<std::uint32_t>(::GetLastError()) : 0u};
}

// --- Driver store ------------------------------------------------------------

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
