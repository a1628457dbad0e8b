// The contract cases' environment on the real system: folders under the
// temporary-files folder, and copies of the test child program.
#include <windows.h>

#include <string>

#include "platform/tests/contract_env.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace tw::contract {
namespace {

using platform::win32::Utf16;
using platform::win32::Wide;

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, length);
    return text.substr(0, text.rfind(L'\\'));
}

class Win32ContractEnv : public ContractEnv {
  public:
    std::string name() const override { return "win32"; }
    platform::Platform& platform() override { return system_.platform(); }

    std::u16string freshFolder() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        // Wine reuses process ids from one session to the next, so a folder
        // of that name may be left from an earlier run: take the next free one.
        std::wstring path;
        do {
            path = std::wstring(temp) + L"tw contract " + std::to_wstring(::GetCurrentProcessId()) +
                   L" " + std::to_wstring(++runs_);
        } while (::CreateDirectoryW(path.c_str(), nullptr) == FALSE &&
                 ::GetLastError() == ERROR_ALREADY_EXISTS);
        return Utf16(path);
    }

    void makeFolder(std::u16string_view path) override {
        ::CreateDirectoryW(Wide(path).c_str(), nullptr);
    }

    void placeChild(std::u16string_view path) override {
        std::wstring child = OwnFolder() + L"\\" TW_CONTRACT_CHILD_W;
        ::CopyFileW(child.c_str(), Wide(path).c_str(), FALSE);
    }

    void placeWindowChild(std::u16string_view path) override {
        std::wstring child = OwnFolder() + L"\\" TW_CONTRACT_WINDOW_CHILD_W;
        ::CopyFileW(child.c_str(), Wide(path).c_str(), FALSE);
    }

    std::optional<std::string> readText(std::u16string_view path) override {
        HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        std::string text;
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE && got > 0) {
            text.append(chunk, got);
        }
        ::CloseHandle(file);
        return text;
    }

    // Where Wine differs from Windows, the case says so and is skipped.
    std::optional<std::string> lacks(std::string_view feature) const override {
        if (!UnderWine()) {
            return std::nullopt;
        }
        if (feature == "verbatim command line") {
            return "Wine quotes the program part of a command line whose program it found "
                   "before a blank; Windows hands the child its command line unchanged";
        }
        if (feature == "terminated cut module name") {
            return "Wine leaves a module name cut to a small buffer unterminated, as Windows "
                   "XP did; later Windows terminate it";
        }
        if (feature == "published oemN.inf names") {
            return "Wine keeps an INF's own name in the INF folder; Windows publishes it as "
                   "oemN.inf";
        }
        return std::nullopt;
    }

  private:
    static bool UnderWine() {
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }

    platform::win32::Win32Platform system_;
    int runs_ = 0;
};

}  // namespace

ContractEnv& Env() {
    static Win32ContractEnv env;
    return env;
}

}  // namespace tw::contract
