// The test window program: a program with a window of its own. With the
// arguments "N M" it waits N ms, appends the line "window" to
// window_record.txt in its current folder, opens its window and waits for
// input, and ends M ms later.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    wchar_t* rest = nullptr;
    DWORD untilWindow = std::wcstoul(arguments, &rest, 10);
    DWORD afterWindow = std::wcstoul(rest, nullptr, 10);
    ::Sleep(untilWindow);

    HANDLE record = ::CreateFileW(L"window_record.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (record != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(record, "window\n", 7, &written, nullptr);
        ::CloseHandle(record);
    }

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"tw contract window";
    ::RegisterClassW(&windowClass);
    HWND window =
        ::CreateWindowW(windowClass.lpszClassName, L"tw contract window", WS_OVERLAPPEDWINDOW, 0, 0,
                        200, 100, nullptr, nullptr, instance, nullptr);
    // A thread timer, so that the program ends even where no window could
    // be made (no display).
    ::SetTimer(nullptr, 0, afterWindow, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr) {
            break;
        }
        ::DispatchMessageW(&message);
    }
    if (window != nullptr) {
        ::DestroyWindow(window);
    }
    return 0;
}
