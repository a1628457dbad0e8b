#include "wizard/dialog.h"

#include <vector>

#include "platform/win_codes.h"

namespace tw::wizard {

void CControlWrapper::EnableWindow(bool enable) {
    if (window_ != nullptr) {
        window_->EnableWindow(id_, enable);
    }
}

void CControlWrapper::SetWindowText(std::u16string_view text) {
    if (window_ != nullptr) {
        window_->SetWindowTextW(id_, text);
    }
}

void CDataExchange::Text(std::int32_t control, CString& value) {
    if (!m_bSaveAndValidate) {
        window_.SetWindowTextW(control, value);
        return;
    }
    // Read back through a buffer sized from the control's text length; a
    // control whose text cannot be read gives an empty string.
    auto length = window_.GetWindowTextLengthW(control);
    if (length.value <= 0) {
        value.clear();
        return;
    }
    std::vector<char16_t> buffer(static_cast<std::size_t>(length.value) + 1);
    auto copied = window_.GetWindowTextW(control, buffer);
    if (copied.value <= 0 || static_cast<std::size_t>(copied.value) >= buffer.size()) {
        value.clear();
        return;
    }
    value.assign(buffer.data(), static_cast<std::size_t>(copied.value));
}

void CDataExchange::Control(std::int32_t control, CControlWrapper& wrapper) {
    wrapper.window_ = &window_;
    wrapper.id_ = control;
}

std::intptr_t CDialog::DoModal() {
    return window().DialogBoxParamW(templateId_, *this).value;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(window(), saveAndValidate);
    DoDataExchange(dx);
    return true;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(win::kIdOk);
}

void CDialog::OnCancel() {
    EndDialog(win::kIdCancel);
}

void CDialog::OnCommand(std::int32_t id) {
    if (id == win::kIdOk) {
        OnOK();
    } else if (id == win::kIdCancel) {
        OnCancel();
    }
}

void CDialog::OnPaint() {
    window().DefWindowProcW(win::kWmPaint, 0, 0);
}

void CDialog::SetWindowText(std::u16string_view caption) {
    window().SetWindowTextW(platform::kTheDialog, caption);
}

void CDialog::SetDlgItemCaption(std::int32_t control, std::u16string_view text) {
    window().SetWindowTextW(control, text);
}

void CDialog::CheckDlgButton(std::int32_t button, std::uint32_t check) {
    window().CheckDlgButton(button, check);
}

void CDialog::SetTimer(std::uintptr_t id, std::uint32_t elapse) {
    window().SetTimer(id, elapse);
}

void CDialog::KillTimer(std::uintptr_t id) {
    window().KillTimer(id);
}

void CDialog::SetIcon(platform::IconHandle icon, bool big) {
    window().SendMessageW(win::kWmSetIcon, big ? win::kIconBig : win::kIconSmall,
                          static_cast<std::intptr_t>(icon));
}

void CDialog::EndDialog(std::intptr_t result) {
    window().EndDialog(result);
}

}  // namespace tw::wizard
