// The Window area of the seam: the services the wizard dialog offers its
// steps and operations, as user32 (and, for the language, the ANSI code page
// and the version resource, kernel32 and version.dll) provide them.
//
// DialogBoxParamW shows a dialog from the program's resources modally and
// reports what happens to it through a DialogHandler (the dialog procedure);
// every other call of this area acts on that dialog while it is shown. Controls
// are named by their id in the template; kTheDialog names the dialog window
// itself.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/result.h"

namespace tw::platform {

// An icon loaded from the program's resources; null when none.
enum class IconHandle : std::uintptr_t {};
inline constexpr IconHandle kNoIcon{0};

// The paint context of one BeginPaint/EndPaint pair.
enum class DeviceContext : std::uintptr_t {};
inline constexpr DeviceContext kNoDeviceContext{0};

// No template control has id 0: the window services take it as the dialog.
inline constexpr std::int32_t kTheDialog = 0;

struct ClientRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The fixed part of a version resource (VS_FIXEDFILEINFO), field by field.
struct FixedFileInfo {
    std::uint32_t signature = 0;  // 0xFEEF04BD
    std::uint32_t structVersion = 0;
    std::uint32_t fileVersionMS = 0;  // a.b of a.b.c.d: a << 16 | b
    std::uint32_t fileVersionLS = 0;  // c << 16 | d
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;
};

// What the window system tells the dialog, one call per message it routes to
// the dialog's own code. Each call runs on the dialog's thread; the next one
// comes only after it has returned.
class DialogHandler {
  public:
    virtual ~DialogHandler() = default;

    // WM_INITDIALOG, before the dialog shows. True: the system gives the
    // keyboard focus to the first tab stop of the template.
    virtual bool OnInitDialog() = 0;
    // WM_COMMAND from a button click (BN_CLICKED), with the button's id;
    // IDCANCEL also for the Escape key and the close box, IDOK for the Enter
    // key when no button takes it.
    virtual void OnCommand(std::int32_t id) = 0;
    // WM_TIMER, with the timer's id.
    virtual void OnTimer(std::uintptr_t id) = 0;
    // WM_PAINT. The handler paints (BeginPaint/EndPaint, or the default
    // handling through DefWindowProcW); a window left unpainted is asked
    // again before any timer ticks.
    virtual void OnPaint() = 0;
    // WM_QUERYDRAGICON: the icon shown while the minimised window is dragged.
    virtual IconHandle OnQueryDragIcon() = 0;
};

class Window {
  public:
    virtual ~Window() = default;

    // A modal message box owned by the wizard dialog, with the application's
    // name as caption and an OK button only. Returns the button chosen.
    virtual Result<std::int32_t> MessageBox(std::u16string_view text) = 0;

    // --- The wizard dialog -------------------------------------------------

    // Shows dialog template `templateId` of the program modally, calling
    // `handler` for its messages, until EndDialog. Returns EndDialog's
    // result; -1 when the dialog could not be created.
    virtual Result<std::intptr_t> DialogBoxParamW(std::int32_t templateId,
                                                  DialogHandler& handler) = 0;
    // Ends the modal dialog with `result` once the handler call that is
    // running returns; the dialog hides at once and no later message reaches
    // it.
    virtual Result<bool> EndDialog(std::intptr_t result) = 0;

    // Arms timer `id` of the dialog; arming an armed timer replaces it and
    // restarts its interval. Returns the id, 0 on failure. The timer repeats
    // until KillTimer.
    virtual Result<std::uintptr_t> SetTimer(std::uintptr_t id, std::uint32_t elapse) = 0;
    virtual Result<bool> KillTimer(std::uintptr_t id) = 0;

    // Enables or disables a control (a disabled static is shown greyed).
    // Returns whether it was disabled before.
    virtual Result<bool> EnableWindow(std::int32_t control, bool enable) = 0;
    // Sets the text of a control, or the caption of the dialog (kTheDialog).
    // A control shows its new text at once, even when the thread then stays
    // busy.
    virtual Result<bool> SetWindowTextW(std::int32_t control, std::u16string_view text) = 0;
    // The length of a control's text, without the terminator.
    virtual Result<std::int32_t> GetWindowTextLengthW(std::int32_t control) = 0;
    // Copies a control's text, cut to fit with its terminator; returns the
    // units copied without the terminator.
    virtual Result<std::int32_t> GetWindowTextW(std::int32_t control,
                                                std::span<char16_t> buffer) = 0;
    // Sets (BST_CHECKED) or clears (BST_UNCHECKED) a button's mark.
    virtual Result<bool> CheckDlgButton(std::int32_t button, std::uint32_t check) = 0;

    // Icon `resourceId` of the program; null when it has none.
    virtual Result<IconHandle> LoadIconW(std::int32_t resourceId) = 0;
    // A message sent to the dialog window (WM_SETICON, WM_ICONERASEBKGND).
    virtual Result<std::intptr_t> SendMessageW(std::uint32_t message, std::uintptr_t wParam,
                                               std::intptr_t lParam) = 0;
    // The dialog's default handling of a message (WM_PAINT).
    virtual Result<std::intptr_t> DefWindowProcW(std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) = 0;

    // --- Painting the minimised dialog ---------------------------------------

    virtual Result<bool> IsIconic() = 0;
    virtual Result<DeviceContext> BeginPaint() = 0;
    virtual Result<bool> EndPaint(DeviceContext context) = 0;
    virtual Result<std::int32_t> GetSystemMetrics(std::int32_t index) = 0;
    virtual Result<bool> GetClientRect(ClientRect& rect) = 0;
    virtual Result<bool> DrawIcon(DeviceContext context, std::int32_t x, std::int32_t y,
                                  IconHandle icon) = 0;

    // --- Language, code page and version resource ------------------------------

    virtual Result<std::uint16_t> GetSystemDefaultLangID() = 0;
    // Widens 8-bit text in `codePage` (CP_ACP: the system's ANSI code page).
    // With an empty buffer, returns the units needed; a buffer too small fails
    // with ERROR_INSUFFICIENT_BUFFER. 0 on failure.
    virtual Result<std::int32_t> MultiByteToWideChar(std::uint32_t codePage, std::string_view bytes,
                                                     std::span<char16_t> buffer) = 0;
    // The size of a file's version resource block; 0 when it has none.
    virtual Result<std::uint32_t> GetFileVersionInfoSizeW(std::u16string_view path) = 0;
    // Copies a file's version resource block, cut to the buffer's size.
    virtual Result<bool> GetFileVersionInfoW(std::u16string_view path,
                                             std::span<std::uint8_t> block) = 0;
    // The fixed part of a version block: `subBlock` "\" (the root).
    virtual Result<bool> VerQueryValueW(std::span<const std::uint8_t> block,
                                        std::u16string_view subBlock, FixedFileInfo& info) = 0;
};

}  // namespace tw::platform
