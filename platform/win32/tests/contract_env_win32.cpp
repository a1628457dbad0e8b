// The contract cases' environment on the real system: folders under the
// temporary-files folder, and copies of the test child program.
// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <string>
#include <vector>

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
        std::wstring path = std::wstring(temp) + L"tw contract " +
                            std::to_wstring(::GetCurrentProcessId()) + L" " +
                            std::to_wstring(++runs_);
        ::CreateDirectoryW(path.c_str(), nullptr);
        return Utf16(path);
    }

    void makeFolder(std::u16string_view path) override {
        ::CreateDirectoryW(Wide(path).c_str(), nullptr);
    }

    void placeChild(std::u16string_view path) override {
        std::wstring child = OwnFolder() + L"\\" TW_CONTRACT_CHILD_W;
        ::CopyFileW(child.c_str(), Wide(path).c_str(), FALSE);
    }

    platform::DeviceInfoSet interfaceList(std::u16string& path) override {
        // GUID_DEVINTERFACE_USBPRINT, from its documented value.
        GUID usbPrint = {
            0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
        HDEVINFO set = ::SetupDiCreateDeviceInfoList(nullptr, nullptr);
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        // A root device of a name of its own, numbered anew each time.
        ::SetupDiCreateDeviceInfoW(set, L"TW_CONTRACT", &usbPrint, nullptr, nullptr,
                                   DICD_GENERATE_ID, &device);
        ::SetupDiCreateDeviceInterfaceW(set, &device, &usbPrint, nullptr, 0, &iface);
        DWORD size = 0;
        ::SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &size, nullptr);
        std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof *detail;
        if (size != 0 &&
            ::SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, size, nullptr, nullptr)) {
            path = Utf16(detail->DevicePath);
        }
        return platform::DeviceInfoSet{reinterpret_cast<std::uintptr_t>(set)};
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
