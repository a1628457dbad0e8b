// The SetupApi area of the seam: device interfaces, INF information, the driver store copy and
// uninstall, the restart prompt (setupapi). One method per system function, named after it,
// returning its value with the code GetLastError gives; sizing calls stay calls of their own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/handle.h"
#include "platform/result.h"

namespace tw::platform {

// --- Device interfaces: records ----------------------------------------------

// A GUID with its documented field layout.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend bool operator==(const Guid&, const Guid&) = default;
};

// A device information list (HDEVINFO); INVALID_HANDLE_VALUE when none could be
// had. Released with SetupDiDestroyDeviceInfoList, never with CloseHandle.
enum class DeviceInfoSet : std::uintptr_t {};
inline constexpr DeviceInfoSet kInvalidDeviceInfoSet{~std::uintptr_t{0}};

// SP_DEVICE_INTERFACE_DATA. The caller sets `size` to the record's size in a
// 32-bit process (28); the system keeps `reserved` as its reference to the
// interface and wants the record back unchanged for the detail query.
struct DeviceInterfaceData {
    std::uint32_t size = 0;
    Guid interfaceClass;
    std::uint32_t flags = 0;
    std::uintptr_t reserved = 0;
};

// --- The area ------------------------------------------------------------------

// An INF information block (SP_INF_INFORMATION): the INF's style, the number
// of INF files it describes, and their version data in the system's own
// layout. The program only sizes it and passes it on to the calls that read it.
struct InfInformation {
    std::uint32_t infStyle = 0;
    std::uint32_t infCount = 0;
    std::vector<std::uint8_t> versionData;
};

class SetupApi {
  public:
    virtual ~SetupApi() = default;

    // --- Device interfaces ---------------------------------------------------

    // The interfaces of a class (no enumerator, no parent window); flags as
    // DIGCF_*. kInvalidDeviceInfoSet on failure.
    virtual Result<DeviceInfoSet> SetupDiGetClassDevsW(const Guid& classGuid,
                                                       std::uint32_t flags) = 0;
    // The interface at `memberIndex` (no device information record); false
    // with ERROR_NO_MORE_ITEMS past the last one.
    virtual Result<bool> SetupDiEnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass,
                                                     std::uint32_t memberIndex,
                                                     DeviceInterfaceData& data) = 0;
    // SP_DEVICE_INTERFACE_DETAIL_DATA_W in its 32-bit layout, as raw bytes: a
    // 32-bit size field that the caller sets to the fixed part's size (6),
    // then the interface path, UTF-16 with its terminator. An empty `detail`
    // is the size query (no buffer, size 0): it fails with
    // ERROR_INSUFFICIENT_BUFFER and reports the bytes needed in
    // `requiredSize`, which a too-small buffer also gets.
    virtual Result<bool> SetupDiGetDeviceInterfaceDetailW(DeviceInfoSet set,
                                                          const DeviceInterfaceData& data,
                                                          std::span<std::uint8_t> detail,
                                                          std::uint32_t& requiredSize) = 0;
    virtual Result<bool> SetupDiDestroyDeviceInfoList(DeviceInfoSet set) = 0;
    // --- INF information and uninstall (the driver packages' removal) --------

    // The information block of an INF. With no buffer (and size 0) only
    // `requiredSize` is set, in bytes of the 32-bit layout; with one, a
    // `bufferSize` smaller than needed fails with ERROR_INSUFFICIENT_BUFFER.
    virtual Result<bool> SetupGetInfInformationW(std::u16string_view infName,
                                                 std::uint32_t searchControl,
                                                 InfInformation* buffer, std::uint32_t bufferSize,
                                                 std::uint32_t& requiredSize) = 0;

    // The value of `key` in the version data of INF number `infIndex` of the
    // block. An empty buffer asks for the size only; sizes are in characters
    // with the terminator.
    virtual Result<bool> SetupQueryInfVersionInformationW(const InfInformation& information,
                                                          std::uint32_t infIndex,
                                                          std::u16string_view key,
                                                          std::span<char16_t> buffer,
                                                          std::uint32_t& requiredSize) = 0;

    // SetupUninstallOEMInfW, found at run time (`procedure`, from
    // GetProcAddress, never kNoProcedure): removes the INF `infFileName` of
    // the INF folder from the system. The reserved argument is null.
    virtual Result<bool> SetupUninstallOEMInfW(Procedure procedure, std::u16string_view infFileName,
                                               std::uint32_t flags) = 0;

    // --- The restart prompt (the reboot fallback) ------------------------------

    // Asks the user whether to restart the computer now (no file queue, no
    // owner window, not scan-only) and starts the restart when the user
    // agrees. Returns SPFILEQ_* flags, or -1 on failure.
    virtual Result<std::int32_t> SetupPromptReboot() = 0;
    // --- Driver store ----------------------------------------------------------

    // Copies the INF at the full path `sourceInf` into the system's INF folder
    // under the name the system gives it, with no source media location: with
    // SPOST_PATH the INF's own folder is recorded as where the driver's files
    // are found. `destination` receives the INF's full path in the INF folder,
    // `requiredSize` that path's size with its terminator and `fileNamePart`
    // the index in `destination` where its file name begins. A too-small
    // destination fails with ERROR_INSUFFICIENT_BUFFER and `requiredSize`
    // set; a missing INF fails with ERROR_FILE_NOT_FOUND (a missing folder
    // on its path with ERROR_PATH_NOT_FOUND).
    virtual Result<bool> SetupCopyOEMInfW(std::u16string_view sourceInf, std::uint32_t mediaType,
                                          std::uint32_t copyStyle, std::span<char16_t> destination,
                                          std::uint32_t& requiredSize,
                                          std::size_t& fileNamePart) = 0;
};

}  // namespace tw::platform

namespace tw::win {

// GUID_DEVINTERFACE_USBPRINT: the device interface class of USB printers,
// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}.
inline constexpr platform::Guid kGuidDevinterfaceUsbprint{
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

}  // namespace tw::win
