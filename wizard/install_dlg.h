// CInstallDlg: the wizard dialog of install and the one holder of the
// program's state. It opens with the port choice (USB or Other), seven step
// labels, Next and Cancel, in French or English, and runs the installation
// sequence one step per click on Next or tick of the step timer (OnNext).
// Every operation of the other subsystems is an operation of this dialog.
#pragma once

#include <array>
#include <cstdint>

#include "platform/handle.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "wizard/dialog.h"
#include "wizard/install_operations.h"
#include "wizard/text_table.h"

namespace tw::wizard {

class CInstallDlg : public CDialog {
  public:
    // The step timer's id.
    static constexpr std::uintptr_t kStepTimer = 1;
    // The program's name as the caption shows it, before its version.
    static constexpr std::u16string_view kProductName = u"Tarnwell Setup";
    static constexpr std::u16string_view kCaptionFormat = u"%s %i.%i%i";

    // `commandLine`: what follows the program name, the blanks after it
    // skipped. The dialog has no parent window.
    CInstallDlg(platform::Platform& platform, InstallOperations& operations,
                std::u16string_view commandLine);
    ~CInstallDlg() override = default;

    // --- Fields, in declaration order --------------------------------------
    std::int32_t m_silent = 0;    // 1: the command line is "silent"
    std::int32_t m_portType = 0;  // 1: USB, 0: Other
    std::int32_t m_makerTagFound = 0;
    std::int32_t m_step = 0;  // the wizard step
    std::uint32_t m_commandStartTick = 0;
    std::array<CString, kTextCount> m_text;  // indexed by TextEntry
    platform::IconHandle m_hIcon = platform::kNoIcon;
    std::array<CString, 7> m_stepText;   // labels 1 to 7
    std::array<CStatic, 6> m_stepLabel;  // labels 1 to 6, for greying
    CButton m_usbButton;
    CButton m_otherButton;
    CButton m_nextButton;
    CString m_portGroupText;
    platform::ProcessInformation m_propertiesProcess;

    // --- Window handlers -----------------------------------------------------
    bool OnInitDialog() override;
    void OnCancel() override;
    void OnTimer(std::uintptr_t id) override;
    void OnPaint() override;
    platform::IconHandle OnQueryDragIcon() override;
    void OnSelectUsb();
    void OnSelectOther();
    // One step of the installation sequence.
    void OnNext();

    // --- Operations of the other subsystems -------------------------------
    platform::Handle OpenEngraver() { return operations_.OpenEngraver(m_makerTagFound); }
    std::uint8_t QueryEngraverStatus() { return operations_.QueryEngraverStatus(m_makerTagFound); }
    void SendFirmwareTable() { operations_.SendFirmwareTable(m_makerTagFound); }
    void RemovePrinterQueues() { operations_.RemovePrinterQueues(); }
    bool RemoveDriverFiles() { return operations_.RemoveDriverFiles(m_commandStartTick); }
    bool RemoveDriverPackages() { return operations_.RemoveDriverPackages(); }
    void RemovePrinterDriver() { operations_.RemovePrinterDriver(); }
    void RemoveDeviceKey() { operations_.RemoveDeviceKey(); }
    void InstallDriverPackage() { operations_.InstallDriverPackage(); }
    bool InstallPrinterOnPort() { return operations_.InstallPrinterOnPort(); }
    void OpenPrinterProperties() { operations_.OpenPrinterProperties(m_propertiesProcess); }

  protected:
    void DoDataExchange(CDataExchange& dx) override;
    // The message map: Next and the two radio buttons, then the dialog's own.
    void OnCommand(std::int32_t id) override;

  private:
    // Start-up pieces.
    void FillTextTable(bool french);
    CString Widen(std::string_view literal);
    void SetCaptionFromVersion();

    // The sequence's two paths (install_sequence.cpp).
    void RunUsbStep();
    void RunOtherStep();
    // A presence check: the engraver is present when OpenEngraver gives a
    // device link, which is closed again at once.
    bool EngraverPresent();
    // Assigns `entry` to step text `label` (1 to 7) and writes the bound
    // strings into the controls, so the label shows it while the step works.
    void ShowOnLabel(TextEntry entry, int label);
    // Disables (greys) step label `label` (1 to 6).
    void GreyLabel(int label);
    void DisablePortChoiceAndNext();
    // Arms the step timer for the next step.
    void ArmStepTimer(std::uint32_t interval) { SetTimer(kStepTimer, interval); }
    // Closes the wizard through OnOK; the dialog ends when OnNext returns.
    void CloseWizard() { OnOK(); }

    InstallOperations& operations_;
    CString commandLine_;
};

}  // namespace tw::wizard
