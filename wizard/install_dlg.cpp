#include "wizard/install_dlg.h"

#include <vector>

#include "platform/text_buffer.h"
#include "platform/text_format.h"
#include "platform/win_codes.h"
#include "wizard/resource.h"

namespace tw::wizard {
namespace {

// The command line that starts the unattended run, in any letter case.
constexpr std::u16string_view kSilent = u"silent";

char16_t FoldAscii(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

// The whole command line equals "silent", letter case aside (a blank, a
// slash or a further argument make it something else).
bool IsSilent(std::u16string_view commandLine) {
    if (commandLine.size() != kSilent.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kSilent.size(); ++i) {
        if (FoldAscii(commandLine[i]) != kSilent[i]) {
            return false;
        }
    }
    return true;
}

std::int32_t LowByte(std::uint32_t value) {
    return static_cast<std::int32_t>(value & 0xFFu);
}

}  // namespace

CInstallDlg::CInstallDlg(platform::Platform& platform, InstallOperations& operations,
                         std::u16string_view commandLine)
    : CDialog(platform, IDD_INSTALL_DIALOG), operations_(operations), commandLine_(commandLine) {
    m_hIcon = platform.window.LoadIconW(IDR_MAINFRAME).value;
}

void CInstallDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    dx.Text(IDC_STEP1, m_stepText[0]);
    dx.Control(IDC_STEP1, m_stepLabel[0]);
    dx.Text(IDC_STEP2, m_stepText[1]);
    dx.Text(IDC_STEP3, m_stepText[2]);
    dx.Text(IDC_STEP4, m_stepText[3]);
    dx.Text(IDC_STEP5, m_stepText[4]);
    dx.Text(IDC_STEP6, m_stepText[5]);
    dx.Control(IDC_NEXT, m_nextButton);
    dx.Control(IDC_STEP2, m_stepLabel[1]);
    dx.Control(IDC_STEP3, m_stepLabel[2]);
    dx.Control(IDC_STEP4, m_stepLabel[3]);
    dx.Control(IDC_STEP5, m_stepLabel[4]);
    dx.Control(IDC_STEP6, m_stepLabel[5]);
    dx.Control(IDC_USB, m_usbButton);
    dx.Control(IDC_OTHER, m_otherButton);
    dx.Text(IDC_STEP7, m_stepText[6]);
    dx.Text(IDC_PORT_GROUP, m_portGroupText);
}

void CInstallDlg::OnCommand(std::int32_t id) {
    switch (id) {
        case IDC_NEXT:
            OnNext();
            break;
        case IDC_OTHER:
            OnSelectOther();
            break;
        case IDC_USB:
            OnSelectUsb();
            break;
        default:
            CDialog::OnCommand(id);
            break;
    }
}

bool CInstallDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    std::uint16_t language = window().GetSystemDefaultLangID().value;
    std::uint16_t primaryLanguage = language & win::kPrimaryLanguageMask;

    m_silent = IsSilent(commandLine_) ? 1 : 0;

    FillTextTable(primaryLanguage == win::kLangFrench);

    SetCaptionFromVersion();

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    for (CString& text : m_stepText) {
        text.clear();
    }

    SetDlgItemCaption(IDC_NEXT, m_text[TextNext]);
    SetDlgItemCaption(win::kIdCancel, m_text[TextCancel]);
    m_portGroupText = m_text[TextSelectPortType];
    SetDlgItemCaption(IDC_OTHER, m_text[TextOther]);

    CheckDlgButton(IDC_USB, win::kBstChecked);
    CheckDlgButton(IDC_OTHER, win::kBstUnchecked);
    m_portType = 1;

    if (m_silent == 1) {
        window().EnableWindow(IDC_USB, false);
        window().EnableWindow(IDC_OTHER, false);
        window().EnableWindow(IDC_NEXT, false);
        window().EnableWindow(win::kIdCancel, false);
        m_step = 2;
        ArmStepTimer(500);
    } else {
        m_step = 1;
    }

    UpdateData(false);
    return true;
}

CString CInstallDlg::Widen(std::string_view literal) {
    // Sized first, then filled, as a string class widening 8-bit text does.
    // A text that cannot be widened stays empty.
    auto needed = window().MultiByteToWideChar(win::kCpAcp, literal, {});
    if (needed.value <= 0) {
        return {};
    }
    std::vector<char16_t> buffer(static_cast<std::size_t>(needed.value));
    auto widened = window().MultiByteToWideChar(win::kCpAcp, literal, buffer);
    if (widened.value <= 0 || static_cast<std::size_t>(widened.value) > buffer.size()) {
        return {};
    }
    return CString(buffer.data(), static_cast<std::size_t>(widened.value));
}

void CInstallDlg::FillTextTable(bool french) {
    for (std::size_t entry = 0; entry < kTextCount; ++entry) {
        const TextLiterals& literals = kTextLiterals[entry];
        m_text[entry] = Widen(french ? literals.french : literals.english);
    }
}

void CInstallDlg::SetCaptionFromVersion() {
    // The program file's path; a path that does not fit its buffer is not
    // used, and the template caption stays.
    platform::PathBuffer path;
    auto length = platform_.kernel.GetModuleFileNameW(path.writable());
    if (length.value == 0 || !path.adoptFilled(length.value)) {
        return;
    }
    auto size = window().GetFileVersionInfoSizeW(path.view());
    if (size.value == 0) {
        return;
    }
    auto block = platform_.kernel.GlobalAlloc(win::kGmemFixed, size.value);
    if (block.value == nullptr) {
        return;
    }
    std::span<std::uint8_t> bytes(block.value, size.value);
    platform::FixedFileInfo fixed;
    bool found = window().GetFileVersionInfoW(path.view(), bytes).value &&
                 window().VerQueryValueW(bytes, u"\\", fixed).value;
    platform_.kernel.GlobalFree(block.value);
    if (!found) {
        return;
    }
    // Product version a.b.c.d shows as "b.cd", each the low byte of its part.
    std::int32_t b = LowByte(fixed.productVersionMS);
    std::int32_t c = LowByte(fixed.productVersionLS >> 16);
    std::int32_t d = LowByte(fixed.productVersionLS);
    SetWindowText(platform::FormatText(kCaptionFormat, {kProductName, b, c, d}));
}

void CInstallDlg::OnSelectUsb() {
    if (m_portType == 0) {
        m_portType = 1;
        CheckDlgButton(IDC_USB, win::kBstChecked);
        CheckDlgButton(IDC_OTHER, win::kBstUnchecked);
    }
}

void CInstallDlg::OnSelectOther() {
    if (m_portType != 0) {
        m_portType = 0;
        CheckDlgButton(IDC_USB, win::kBstUnchecked);
        CheckDlgButton(IDC_OTHER, win::kBstChecked);
    }
}

void CInstallDlg::OnTimer(std::uintptr_t id) {
    if (id == kStepTimer) {
        KillTimer(kStepTimer);
        OnNext();
    }
}

void CInstallDlg::OnCancel() {
    CDialog::OnCancel();
}

void CInstallDlg::OnPaint() {
    if (!window().IsIconic().value) {
        CDialog::OnPaint();
        return;
    }
    auto context = window().BeginPaint().value;
    window().SendMessageW(win::kWmIconEraseBkgnd, static_cast<std::uintptr_t>(context), 0);
    std::int32_t iconWidth = window().GetSystemMetrics(win::kSmCxIcon).value;
    std::int32_t iconHeight = window().GetSystemMetrics(win::kSmCyIcon).value;
    platform::ClientRect rect;
    window().GetClientRect(rect);
    std::int32_t x = (rect.right - rect.left - iconWidth + 1) / 2;
    std::int32_t y = (rect.bottom - rect.top - iconHeight + 1) / 2;
    window().DrawIcon(context, x, y, m_hIcon);
    window().EndPaint(context);
}

platform::IconHandle CInstallDlg::OnQueryDragIcon() {
    return m_hIcon;
}

}  // namespace tw::wizard
