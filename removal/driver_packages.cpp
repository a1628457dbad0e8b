#include "removal/driver_packages.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/text_buffer.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"

namespace tw::removal {
namespace {

using platform::Kernel;
using platform::PathBuffer;
using platform::SetupApi;

constexpr std::u16string_view kInfFolder = u"\\inf\\";
constexpr std::u16string_view kSearchPattern = u"oem*.inf";
constexpr std::u16string_view kSetupLibrary = u"\\setupapi.dll";
constexpr std::string_view kUninstallFunction = "SetupUninstallOEMInfW";
constexpr std::u16string_view kDisplayNameKey = u"DriverPackageDisplayName";

// Zero bytes after the file's content in the content buffer, so that the
// UTF-16 text read from it always ends in a zero unit, whatever the file holds.
constexpr std::size_t kContentPadding = 10;

// "<Windows folder>\inf\" in `folder`; false when the Windows folder cannot be
// read or the path does not fit.
bool InfFolder(Kernel& kernel, PathBuffer& folder) {
    auto length = kernel.GetWindowsDirectoryW(folder.writable());
    return length.value != 0 && folder.adoptFilled(length.value) && folder.append(kInfFolder);
}

// The INF's information block, found by its bare name in the system's INF
// folders: a size query, then the call into a block of that size.
bool ReadInfInformation(SetupApi& setupApi, std::u16string_view infName,
                        platform::InfInformation& information) {
    std::uint32_t size = 0;
    auto sized =
        setupApi.SetupGetInfInformationW(infName, win::kInfinfoDefaultSearch, nullptr, 0, size);
    if (!sized.value || size == 0) {
        return false;
    }
    auto filled = setupApi.SetupGetInfInformationW(infName, win::kInfinfoDefaultSearch,
                                                   &information, size, size);
    return filled.value;
}

// The package's display name from its version information; empty when the
// INF has none or it cannot be read.
std::u16string ReadDisplayName(SetupApi& setupApi, const platform::InfInformation& information) {
    std::uint32_t characters = 0;
    auto sized =
        setupApi.SetupQueryInfVersionInformationW(information, 0, kDisplayNameKey, {}, characters);
    if (!sized.value || characters == 0) {
        return {};
    }
    std::vector<char16_t> text(characters, u'\0');
    auto filled = setupApi.SetupQueryInfVersionInformationW(information, 0, kDisplayNameKey, text,
                                                            characters);
    if (!filled.value) {
        return {};
    }
    // The name ends at its terminator, and never beyond the buffer.
    auto end = std::find(text.begin(), text.end(), u'\0');
    return std::u16string(text.begin(), end);
}

// Whether `bytes`, read as UTF-16 little-endian text from the first byte up
// to the first zero unit, holds the driver model name (case counts). An INF
// stored as 8-bit text never does: its bytes pair up into other characters.
bool TextHoldsDriverModel(const std::uint8_t* bytes, std::size_t size) {
    std::u16string text;
    for (std::size_t at = 0; at + 1 < size; at += 2) {
        auto unit = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
        if (unit == u'\0') {
            break;
        }
        text.push_back(unit);
    }
    return text.find(kDriverModelName) != std::u16string::npos;
}

// The content rule: the whole file read into a zero-filled block a little
// longer than the file, and searched for the driver model name. A file that
// cannot be opened, sized, held in memory or read does not match.
bool ContentNamesDriverModel(Kernel& kernel, const PathBuffer& infPath) {
    auto file = kernel.CreateFileW(infPath.view(), win::kGenericRead, win::kFileShareRead,
                                   win::kOpenExisting, win::kFileAttributeNormal);
    if (file.value == platform::kInvalidHandleValue) {
        return false;
    }
    bool matches = false;
    auto size = kernel.GetFileSize(file.value);
    // A size of INVALID_FILE_SIZE is a failure only when an error comes with
    // it; a size the padded block cannot count (in a 32-bit process) is not
    // read either, so the block is never smaller than the read into it.
    bool sized = size.value != win::kInvalidFileSize || size.error == 0;
    std::size_t fileSize = size.value;
    std::size_t blockSize = fileSize + kContentPadding;  // wraps only in a 32-bit process
    if (sized && blockSize > fileSize) {
        auto block = kernel.GlobalAlloc(win::kGptr, blockSize);
        if (block.value != nullptr) {
            std::uint32_t bytesRead = 0;
            auto read = kernel.ReadFile(file.value, std::span<std::uint8_t>(block.value, fileSize),
                                        bytesRead);
            matches = read.value && TextHoldsDriverModel(block.value, blockSize);
            kernel.GlobalFree(block.value);
        }
    }
    kernel.CloseHandle(file.value);
    return matches;
}

// Deletes a file as every file of the removal is deleted: attributes reset to
// archive alone (clearing read-only, hidden and system), then deleted.
// Returns 0 or the deletion's error code.
std::uint32_t DeletePlainly(Kernel& kernel, std::u16string_view path) {
    kernel.SetFileAttributesW(path, win::kFileAttributeArchive);
    auto deleted = kernel.DeleteFileW(path);
    return deleted.value ? 0 : deleted.error;
}

void ShowCode(platform::Platform& platform, std::u16string_view format, std::uint32_t code) {
    platform.window.MessageBox(platform::FormatCode(format, static_cast<std::int32_t>(code)));
}

// "<...>.pnf" beside "<...>.inf" (the precompiled INF); false when the name
// does not end in ".inf".
bool PrecompiledPath(const PathBuffer& infPath, PathBuffer& pnfPath) {
    std::u16string_view path = infPath.view();
    constexpr std::u16string_view kExtension = u".inf";
    if (path.size() < kExtension.size()) {
        return false;
    }
    std::u16string_view extension = path.substr(path.size() - kExtension.size());
    bool isInf = std::equal(extension.begin(), extension.end(), kExtension.begin(),
                            [](char16_t a, char16_t b) {
                                return (a >= u'A' && a <= u'Z' ? a + (u'a' - u'A') : a) == b;
                            });
    return isInf && pnfPath.appendAll({path.substr(0, path.size() - 3), u"pnf"});
}

// Without an uninstall function the package's two files are deleted by hand:
// the INF, then, whatever came of that, its precompiled INF. A path that does
// not fit is reported as the deletion's failure.
void DeleteByHand(platform::Platform& platform, const PathBuffer* infPath) {
    Kernel& kernel = platform.kernel;
    std::uint32_t infError =
        infPath != nullptr ? DeletePlainly(kernel, infPath->view()) : win::kErrorFilenameExcedRange;
    if (infError != 0) {
        ShowCode(platform, kDeleteInfErrorFormat, infError);
    }
    PathBuffer pnfPath;
    std::uint32_t pnfError = infPath != nullptr && PrecompiledPath(*infPath, pnfPath)
                                 ? DeletePlainly(kernel, pnfPath.view())
                                 : win::kErrorFilenameExcedRange;
    if (pnfError != 0) {
        ShowCode(platform, kDeletePnfErrorFormat, pnfError);
    }
}

// Uninstalls the package through the setup library's SetupUninstallOEMInfW,
// loaded from the system folder by its full path for this one use; where the
// system lacks the function (or its library, or the system folder cannot be
// read) the files are deleted by hand.
void UninstallPackage(platform::Platform& platform, std::u16string_view infName,
                      const PathBuffer* infPath) {
    Kernel& kernel = platform.kernel;
    PathBuffer library;
    auto length = kernel.GetSystemDirectoryW(library.writable());
    bool libraryPath =
        length.value != 0 && library.adoptFilled(length.value) && library.append(kSetupLibrary);

    platform::Handle module = platform::kNullHandle;
    platform::Procedure uninstall = platform::kNoProcedure;
    if (libraryPath) {
        module = kernel.LoadLibraryW(library.view()).value;
        if (module != platform::kNullHandle) {
            uninstall = kernel.GetProcAddress(module, kUninstallFunction).value;
        }
    }
    if (uninstall != platform::kNoProcedure) {
        // The result is not looked at: a package that stays is not reported.
        platform.setupApi.SetupUninstallOEMInfW(uninstall, infName, win::kSuoiForceDelete);
    } else {
        DeleteByHand(platform, infPath);
    }
    if (module != platform::kNullHandle) {
        kernel.FreeLibrary(module);
    }
}

// One INF of the search: removed when its display name is the package's, or
// else when its UTF-16 text names the driver model.
void RemovePackageIfOurs(platform::Platform& platform, const PathBuffer& infFolder,
                         std::u16string_view infName) {
    platform::InfInformation information;
    std::u16string displayName;
    if (ReadInfInformation(platform.setupApi, infName, information)) {
        displayName = ReadDisplayName(platform.setupApi, information);
    }
    PathBuffer infPath;
    bool pathFits = infPath.appendAll({infFolder.view(), infName});

    bool ours = displayName == kPackageDisplayName ||
                (pathFits && ContentNamesDriverModel(platform.kernel, infPath));
    if (ours) {
        UninstallPackage(platform, infName, pathFits ? &infPath : nullptr);
    }
}

}  // namespace

bool RemoveDriverPackages(platform::Platform& platform) {
    Kernel& kernel = platform.kernel;
    PathBuffer infFolder;
    PathBuffer pattern;
    if (!InfFolder(kernel, infFolder) || !pattern.appendAll({infFolder.view(), kSearchPattern})) {
        return false;
    }
    platform::FindData found;
    auto search = kernel.FindFirstFileW(pattern.view(), found);
    if (search.value == platform::kInvalidHandleValue) {
        return false;
    }
    std::uint32_t endedWith = 0;
    for (;;) {
        RemovePackageIfOurs(platform, infFolder, found.fileName);
        auto next = kernel.FindNextFileW(search.value, found);
        if (!next.value) {
            endedWith = next.error;
            break;
        }
    }
    kernel.FindClose(search.value);
    return endedWith == win::kErrorNoMoreFiles;
}

void RemovePrinterDriver(platform::Platform& platform) {
    // No server (the local one), the default environment, no request to
    // delete the driver's files, any version. The result is not looked at.
    platform.spooler.DeletePrinterDriverExW(kDriverModelName, 0, 0);
}

}  // namespace tw::removal
