// dialog_probe: looks at the wizard dialog of another process under Wine, for
// the end-to-end test. Finds the top-level window with the caption given on
// its command line (waiting up to a time limit) and prints one line per
// control in creation order:
//   control <id> <class> enabled=<0|1> checked=<0|1> x=<l> y=<t> w=<w> h=<h> text=<UTF-8>
// with the control's screen rectangle, so the test can click it. Exit code 0
// when the window was found, 2 when not.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM /*unused*/) {
    wchar_t text[512] = {};
    wchar_t windowClass[64] = {};
    ::GetWindowTextW(control, text, 512);
    ::GetClassNameW(control, windowClass, 64);
    RECT rect{};
    ::GetWindowRect(control, &rect);
    LRESULT checked = ::SendMessageW(control, BM_GETCHECK, 0, 0);
    std::printf(
        "control %d %s enabled=%d checked=%d x=%ld y=%ld w=%ld h=%ld text=%s\n",
        ::GetDlgCtrlID(control), Utf8(windowClass).c_str(), ::IsWindowEnabled(control) ? 1 : 0,
        (_wcsicmp(windowClass, L"Button") == 0 && checked == BST_CHECKED) ? 1 : 0, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, Utf8(text).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialog_probe CAPTION [SECONDS]\n");
        return 2;
    }
    int seconds = argc > 2 ? _wtoi(argv[2]) : 30;
    HWND dialog = nullptr;
    for (int i = 0; i < seconds * 10 && dialog == nullptr; ++i) {
        // A dialog exists, hidden, while it is being set up: it is looked
        // at only once it shows, in its final place.
        dialog = ::FindWindowW(nullptr, argv[1]);
        if (dialog != nullptr && ::IsWindowVisible(dialog) == FALSE) {
            dialog = nullptr;
        }
        if (dialog == nullptr) {
            ::Sleep(100);
        }
    }
    if (dialog == nullptr) {
        std::printf("no window\n");
        return 2;
    }
    RECT rect{};
    ::GetWindowRect(dialog, &rect);
    std::printf("window x=%ld y=%ld w=%ld h=%ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    ::EnumChildWindows(dialog, PrintControl, 0);
    std::fflush(stdout);
    return 0;
}
