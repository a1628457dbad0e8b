// The contract cases' environment on the real system: folders under the
// temporary-files folder, and copies of the test child program.
// clang-format off
#include <windows.h>
#include <winspool.h>
#include <setupapi.h>
// clang-format on

#include <string>
#include <vector>

#include "platform/tests/contract_env.h"
#include "platform/win32/tests/queue_seed.h"
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

    void makeMachineKey(std::u16string_view path) override {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr) == ERROR_SUCCESS) {
            const wchar_t text[] = L"contract";
            ::RegSetValueExW(key, L"DeviceDesc", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             sizeof text);
            ::RegCloseKey(key);
        }
    }

    bool machineKeyExists(std::u16string_view path) override {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }

    bool program32() const override { return sizeof(void*) == 4; }
    bool wow64() const override {
        SYSTEM_INFO native{};
        ::GetNativeSystemInfo(&native);
        return program32() && native.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL;
    }

    // The driver is made of copies of the test child program: the queue is
    // never printed to, so any files do. Every file is named, the
    // configuration file too (Wine's spooler fails without one).
    void addPrinterQueue(std::u16string_view name, std::u16string_view driverName) override {
        std::wstring source = OwnFolder() + L"\\" TW_CONTRACT_CHILD_W;
        std::wstring driver = Wide(driverName);
        DRIVER_INFO_3W info{};
        info.cVersion = 3;
        info.pName = driver.data();
        info.pDriverPath = source.data();
        info.pDataFile = source.data();
        info.pConfigFile = source.data();
        ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES);

        // A queue Wine's spooler refuses leaves the case to fail on its own
        // checks.
        platform::win32::tests::AddQueue(Wide(name), driver, L"LPT1:");
    }

    std::optional<std::u16string> registryString(std::u16string_view key,
                                                 std::u16string_view name) override {
        std::wstring path = Wide(key);
        std::wstring valueName = Wide(name);
        wchar_t text[1024] = {};
        DWORD bytes = sizeof text - sizeof(wchar_t);
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ,
                           nullptr, text, &bytes) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return Utf16(text);
    }

    void deleteRegistryValue(std::u16string_view key, std::u16string_view name) override {
        std::wstring path = Wide(key);
        std::wstring valueName = Wide(name);
        HKEY opened = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &opened) ==
            ERROR_SUCCESS) {
            ::RegDeleteValueW(opened, valueName.c_str());
            ::RegCloseKey(opened);
        }
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
        if (feature == "inf version query") {
            return "Wine does not implement SetupQueryInfVersionInformationW: it fails with "
                   "ERROR_CALL_NOT_IMPLEMENTED (120) for every key";
        }
        if (feature == "precompiled inf removed on uninstall") {
            return "Wine's SetupUninstallOEMInfW deletes the INF but leaves its .pnf; Windows "
                   "removes both";
        }
        if (feature == "inf parse error code") {
            return "Wine's SetupGetInfInformationW reports ERROR_FILE_NOT_FOUND for an INF it "
                   "cannot parse; Windows gives the parser's code";
        }
        if (feature == "unknown printer driver code") {
            return "Wine's DeletePrinterDriverExW fails for an unknown driver without setting an "
                   "error code; Windows gives ERROR_UNKNOWN_PRINTER_DRIVER (1797)";
        }
        if (feature == "published oemN.inf names") {
            return "Wine keeps an INF's own name in the INF folder; Windows publishes it as "
                   "oemN.inf";
        }
        if (feature == "printer control commands") {
            return "Wine's spooler handles no SetPrinterW level 0 (it fails with "
                   "ERROR_INVALID_LEVEL); Windows takes the control commands there";
        }
        if (feature == "missing control error") {
            return "Wine's GetDlgItem leaves the last error as it was for an id the dialog lacks; "
                   "Windows sets ERROR_CONTROL_ID_NOT_FOUND";
        }
        if (feature == "missing icon error") {
            return "Wine's LoadIconW gives ERROR_RESOURCE_TYPE_NOT_FOUND for an icon id the "
                   "program lacks; Windows gives ERROR_RESOURCE_NAME_NOT_FOUND";
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
