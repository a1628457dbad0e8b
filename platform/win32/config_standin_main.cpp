// Stand-in for the maker's access-control tool (Systems\Config.exe) in the
// sample package. The wizard starts the tool to give the user full access to
// the engraver's device key before deleting it; this program grants nothing.
// It appends the command line it was started with, as one UTF-8 line, to
// "Config_calls.txt" beside its own program file, and ends with exit code 0
// (1 when the record could not be written). Tests and demos read the record to
// see exactly how the tool was called.
#include <windows.h>

#include <string>

namespace {

// Long enough for any path Windows gives back, so that the record never
// lands beside a cut-off program path.
constexpr DWORD kLongPath = 32768;

std::string ToUtf8(const std::wstring& text) {
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                          bytes, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain() {
    std::wstring image(kLongPath, L'\0');
    DWORD length = ::GetModuleFileNameW(nullptr, image.data(), kLongPath);
    if (length == 0 || length >= kLongPath) {
        return 1;
    }
    image.resize(length);
    std::wstring record = image.substr(0, image.find_last_of(L'\\') + 1) + L"Config_calls.txt";

    std::string line = ToUtf8(::GetCommandLineW()) + "\r\n";
    HANDLE file = ::CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok != FALSE && written == line.size() ? 0 : 1;
}
