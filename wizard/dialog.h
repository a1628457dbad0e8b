// The small dialog framework the wizard is built on: the part of a dialog
// class library that CInstallDlg uses (a modal dialog with text and control
// bindings, OK and Cancel handling, control wrappers), written over the
// Window area of the seam.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace tw::wizard {

using CString = std::u16string;

class CDialog;

// A wrapper of one control of the dialog, bound by DDX_Control.
class CControlWrapper {
  public:
    bool attached() const { return window_ != nullptr; }
    std::int32_t id() const { return id_; }

    // Enables (true) or disables (false) the control.
    void EnableWindow(bool enable);
    void SetWindowText(std::u16string_view text);

  private:
    friend class CDataExchange;
    platform::Window* window_ = nullptr;
    std::int32_t id_ = 0;
};

class CStatic : public CControlWrapper {};
class CButton : public CControlWrapper {};

// One pass of DoDataExchange: writes the bound strings into their controls
// (saveAndValidate false) or reads them back (true), and attaches wrappers.
class CDataExchange {
  public:
    CDataExchange(platform::Window& window, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), window_(window) {}

    const bool m_bSaveAndValidate;

    // DDX_Text: the text of `control` with `value`.
    void Text(std::int32_t control, CString& value);
    // DDX_Control: `wrapper` stands for `control` from now on.
    void Control(std::int32_t control, CControlWrapper& wrapper);

  private:
    platform::Window& window_;
};

class CDialog : public platform::DialogHandler {
  public:
    CDialog(platform::Platform& platform, std::int32_t templateId)
        : platform_(platform), templateId_(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    ~CDialog() override = default;

    // Shows the dialog modally; returns IDOK, IDCANCEL, or -1 when it could
    // not be created.
    std::intptr_t DoModal();

    // Runs DoDataExchange in one direction. Always succeeds: the bindings
    // validate nothing.
    bool UpdateData(bool saveAndValidate = true);

  protected:
    virtual void DoDataExchange(CDataExchange& dx) { (void)dx; }

    // Writes the bound strings into their controls; true gives the focus to
    // the first tab stop.
    bool OnInitDialog() override;
    // Reads the bound strings back, then ends the dialog with IDOK.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // The dialog's own commands: IDOK and IDCANCEL.
    void OnCommand(std::int32_t id) override;
    void OnTimer(std::uintptr_t id) override { (void)id; }
    // Paints as the window system does by default.
    void OnPaint() override;
    platform::IconHandle OnQueryDragIcon() override { return platform::kNoIcon; }

    // Window services on the dialog and its controls.
    void SetWindowText(std::u16string_view caption);
    void SetDlgItemCaption(std::int32_t control, std::u16string_view text);
    void CheckDlgButton(std::int32_t button, std::uint32_t check);
    void SetTimer(std::uintptr_t id, std::uint32_t elapse);
    void KillTimer(std::uintptr_t id);
    void SetIcon(platform::IconHandle icon, bool big);
    void EndDialog(std::intptr_t result);

    platform::Platform& platform_;
    platform::Window& window() { return platform_.window; }

  private:
    std::int32_t templateId_;
};

}  // namespace tw::wizard
