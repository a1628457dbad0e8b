// The test child program: appends "<program file>|<current folder>|<command
// line>" and a line end, as UTF-8, to child_record.txt in its current folder.
// With the arguments "sleep N" it then runs N ms before it ends.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    wchar_t image[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, image, MAX_PATH);
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring line = std::wstring(image) + L"|" + folder + L"|" + ::GetCommandLineW() + L"\n";

    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    HANDLE record = ::CreateFileW(L"child_record.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (record != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(record, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
        ::CloseHandle(record);
    }
    if (argc >= 3 && std::wcscmp(argv[1], L"sleep") == 0) {
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    }
    return 0;
}
