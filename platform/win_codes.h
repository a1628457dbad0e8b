// Win32 error codes and constants that the system's logic uses, with their
// documented values. The core never includes the platform headers, so every
// number it compares against or passes on is named here, once.
#pragma once

#include <cstdint>

namespace tw::win {

// Error codes, as GetLastError gives them.
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorBadFormat = 11;
inline constexpr std::uint32_t kErrorNoMoreFiles = 18;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorCallNotImplemented = 120;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorInvalidName = 123;
inline constexpr std::uint32_t kErrorInvalidLevel = 124;
inline constexpr std::uint32_t kErrorBadPathname = 161;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorBadExeFormat = 193;
inline constexpr std::uint32_t kErrorFilenameExcedRange = 206;
inline constexpr std::uint32_t kErrorDirectory = 267;
inline constexpr std::uint32_t kErrorUnknownPrinterDriver = 1797;
inline constexpr std::uint32_t kErrorModNotFound = 126;
inline constexpr std::uint32_t kErrorProcNotFound = 127;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;

// Waits.
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

// Process creation flags.
inline constexpr std::uint32_t kCreateNoWindow = 0x08000000;

// Message boxes.
inline constexpr std::uint32_t kMbOk = 0x00000000;
inline constexpr std::int32_t kIdOk = 1;

// File attributes.
inline constexpr std::uint32_t kFileAttributeReadonly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;

// Files and devices.
inline constexpr std::uint32_t kGenericRead = 0x80000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kFileShareDelete = 0x4;
inline constexpr std::uint32_t kCreateAlways = 2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kOpenAlways = 4;
inline constexpr std::uint32_t kFileFlagSequentialScan = 0x08000000;
inline constexpr std::uint32_t kInvalidFileSize = 0xFFFFFFFF;

// Global memory.
inline constexpr std::uint32_t kGmemFixed = 0x0000;
inline constexpr std::uint32_t kGmemMoveable = 0x0002;
inline constexpr std::uint32_t kGmemZeroinit = 0x0040;
inline constexpr std::uint32_t kGptr = kGmemFixed | kGmemZeroinit;

// Device interfaces (setupapi).
inline constexpr std::uint32_t kDigcfPresent = 0x02;
inline constexpr std::uint32_t kDigcfDeviceinterface = 0x10;
// Record sizes in a 32-bit process: SP_DEVICE_INTERFACE_DATA, and the fixed
// part of SP_DEVICE_INTERFACE_DETAIL_DATA_W (its path starts at offset 4).
inline constexpr std::uint32_t kSpDeviceInterfaceDataSize = 28;
inline constexpr std::uint32_t kSpDeviceInterfaceDetailDataSize = 6;
inline constexpr std::uint32_t kSpDeviceInterfaceDetailPathOffset = 4;
inline constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;
inline constexpr std::uint32_t kErrorWriteFault = 29;
inline constexpr std::uint32_t kErrorGenFailure = 31;
// INF information and driver packages.
inline constexpr std::uint32_t kInfinfoDefaultSearch = 3;
inline constexpr std::uint32_t kSuoiForceDelete = 0x00000001;
// Driver store copies: the source media type that records a path.
inline constexpr std::uint32_t kSpostNone = 0;
inline constexpr std::uint32_t kSpostPath = 1;

// Printer queues, the restart entry and the restart prompt.
inline constexpr std::uint32_t kErrorInvalidFunction = 1;
inline constexpr std::uint32_t kStillActive = 259;
inline constexpr std::uint32_t kRpcSServerUnavailable = 1722;
inline constexpr std::uint32_t kErrorInvalidPrinterName = 1801;
inline constexpr std::uint32_t kPrinterEnumLocal = 0x00000002;
inline constexpr std::uint32_t kPrinterAllAccess = 0x000F000C;
inline constexpr std::uint32_t kPrinterControlPurge = 3;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::int32_t kSpFileQRebootRecommended = 0x2;
inline constexpr std::int32_t kSpFileQRebootInProgress = 0x4;

// The wizard dialog: window messages, commands, icons, metrics, code pages,
// version resources, and the window services' error codes.
inline constexpr std::int32_t kIdCancel = 2;
inline constexpr std::uint32_t kWmPaint = 0x000F;
inline constexpr std::uint32_t kWmIconEraseBkgnd = 0x0027;
inline constexpr std::uint32_t kWmSetIcon = 0x0080;
inline constexpr std::uintptr_t kIconSmall = 0;
inline constexpr std::uintptr_t kIconBig = 1;
inline constexpr std::int32_t kSmCxIcon = 11;
inline constexpr std::int32_t kSmCyIcon = 12;
inline constexpr std::uint32_t kBstUnchecked = 0;
inline constexpr std::uint32_t kBstChecked = 1;
inline constexpr std::uint32_t kCpAcp = 0;
inline constexpr std::uint32_t kVsFfiSignature = 0xFEEF04BD;
inline constexpr std::uint32_t kErrorInvalidFlags = 1004;
inline constexpr std::uint32_t kErrorResourceDataNotFound = 1812;
inline constexpr std::uint32_t kErrorResourceTypeNotFound = 1813;
inline constexpr std::uint32_t kErrorResourceNameNotFound = 1814;
inline constexpr std::uint32_t kErrorInvalidWindowHandle = 1400;
inline constexpr std::uint32_t kErrorControlIdNotFound = 1421;
// The primary language of a language id (its low 10 bits), and French.
inline constexpr std::uint16_t kPrimaryLanguageMask = 0x03FF;
inline constexpr std::uint16_t kLangFrench = 0x0C;

// The classic path limit: 260 UTF-16 units, terminator included.
inline constexpr std::uint32_t kMaxPath = 260;

}  // namespace tw::win
