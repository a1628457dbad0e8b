// machine_seed: puts the print spooler's part of an earlier installation on a
// Wine prefix, shows what the spooler holds, and holds a file open, for the
// package's end-to-end test.
//
//   machine_seed driver NAME FOLDER DRIVER DATA CONFIG [DEPENDENT...]
//       registers the version-3 driver NAME of the default environment; its
//       files are taken from FOLDER (a full path) and the spooler copies them
//       into its driver directory's version-3 folder. Every file is named,
//       the configuration file too (Wine's spooler fails without one).
//   machine_seed queue NAME DRIVER PORT
//       adds the print queue NAME of driver DRIVER on PORT.
//   machine_seed list
//       prints "queue <name> driver=<driver>" per local queue, then
//       "driver <name>" per driver of the default environment.
//   machine_seed hold PATH
//       opens PATH for reading, shared for reading and writing but not for
//       deletion, prints "held", and keeps it open until its standard input
//       ends.
//
// Exit code 0 on success, 1 when the spooler or the file refused (the error
// code is printed), 2 on a usage error.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/tests/queue_seed.h"

namespace {

std::string Utf8(const wchar_t* text) {
    if (text == nullptr) {
        return {};
    }
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

int Failed(const char* what) {
    std::printf("%s failed: %lu\n", what, ::GetLastError());
    return 1;
}

std::wstring InFolder(const std::wstring& folder, const wchar_t* name) {
    return folder + L"\\" + name;
}

// The driver's files are given with their full paths and copied from there
// (APD_COPY_FROM_DIRECTORY), as an installer that unpacked them elsewhere
// does; dependent files form a list of texts ended by an empty one.
int AddDriver(int count, wchar_t** args) {
    std::wstring name = args[0];
    std::wstring folder = args[1];
    std::wstring driver = InFolder(folder, args[2]);
    std::wstring data = InFolder(folder, args[3]);
    std::wstring config = InFolder(folder, args[4]);
    std::vector<wchar_t> dependent;
    for (int i = 5; i < count; ++i) {
        std::wstring path = InFolder(folder, args[i]);
        dependent.insert(dependent.end(), path.begin(), path.end());
        dependent.push_back(L'\0');
    }
    dependent.push_back(L'\0');

    DRIVER_INFO_6W info{};
    info.cVersion = 3;
    info.pName = name.data();
    info.pDriverPath = driver.data();
    info.pDataFile = data.data();
    info.pConfigFile = config.data();
    info.pDependentFiles = count > 5 ? dependent.data() : nullptr;
    if (::AddPrinterDriverExW(nullptr, 6, reinterpret_cast<BYTE*>(&info),
                              APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY) == FALSE) {
        return Failed("AddPrinterDriverExW");
    }
    return 0;
}

int AddQueue(wchar_t** args) {
    if (!tw::platform::win32::tests::AddQueue(args[0], args[1], args[2])) {
        return Failed("AddPrinterW");
    }
    return 0;
}

// Each enumeration asks for the size first, then fills a block of that size.
int List() {
    DWORD needed = 0;
    DWORD count = 0;
    ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> printers(needed + 1);
    if (::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, printers.data(), needed, &needed, &count) ==
        FALSE) {
        return Failed("EnumPrintersW");
    }
    const auto* printer = reinterpret_cast<const PRINTER_INFO_2W*>(printers.data());
    for (DWORD i = 0; i < count; ++i) {
        std::printf("queue %s driver=%s\n", Utf8(printer[i].pPrinterName).c_str(),
                    Utf8(printer[i].pDriverName).c_str());
    }

    needed = 0;
    count = 0;
    ::EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> drivers(needed + 1);
    if (::EnumPrinterDriversW(nullptr, nullptr, 1, drivers.data(), needed, &needed, &count) ==
        FALSE) {
        return Failed("EnumPrinterDriversW");
    }
    const auto* driver = reinterpret_cast<const DRIVER_INFO_1W*>(drivers.data());
    for (DWORD i = 0; i < count; ++i) {
        std::printf("driver %s\n", Utf8(driver[i].pName).c_str());
    }
    return 0;
}

int Hold(const wchar_t* path) {
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Failed("CreateFileW");
    }
    std::printf("held\n");
    std::fflush(stdout);
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    char unused[64];
    DWORD read = 0;
    while (::ReadFile(input, unused, sizeof unused, &read, nullptr) != FALSE && read != 0) {
    }
    ::CloseHandle(file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int status = 2;
    if (argc >= 7 && std::wcscmp(argv[1], L"driver") == 0) {
        status = AddDriver(argc - 2, argv + 2);
    } else if (argc == 5 && std::wcscmp(argv[1], L"queue") == 0) {
        status = AddQueue(argv + 2);
    } else if (argc == 2 && std::wcscmp(argv[1], L"list") == 0) {
        status = List();
    } else if (argc == 3 && std::wcscmp(argv[1], L"hold") == 0) {
        status = Hold(argv[2]);
    } else {
        std::fprintf(stderr,
                     "usage: machine_seed driver NAME FOLDER DRIVER DATA CONFIG [DEPENDENT...]\n"
                     "       machine_seed queue NAME DRIVER PORT | list | hold PATH\n");
    }
    std::fflush(stdout);
    return status;
}
