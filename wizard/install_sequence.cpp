// The installation sequence: OnNext runs one step of the USB path or of the
// Other path each time Next is clicked or the step timer ticks. A step greys
// the label of the step before, shows its own text, does its work through the
// operations, then sets the next step and arms the step timer as its last
// action, or closes the wizard.
#include "platform/win_codes.h"
#include "wizard/install_dlg.h"

namespace tw::wizard {
namespace {

// Intervals of the step timer, in milliseconds.
constexpr std::uint32_t kAfterSwitchOffCheck = 1000;  // USB 1
constexpr std::uint32_t kAfterRemoval = 500;          // USB 2
constexpr std::uint32_t kAfterDriverPackage = 500;    // USB 3
constexpr std::uint32_t kAfterConnectCheck = 6000;    // USB 4
constexpr std::uint32_t kAfterFirmwareTable = 35000;  // USB 5
constexpr std::uint32_t kAfterStatusQuery = 1000;     // USB 6
constexpr std::uint32_t kAfterPresenceCheck = 1000;   // USB 7 and 8
constexpr std::uint32_t kAfterProperties = 3000;      // Other 3

}  // namespace

void CInstallDlg::OnNext() {
    if (m_portType != 0) {
        RunUsbStep();
    } else {
        RunOtherStep();
    }
}

bool CInstallDlg::EngraverPresent() {
    platform::Handle link = OpenEngraver();
    if (link == platform::kNullHandle || link == platform::kInvalidHandleValue) {
        return false;
    }
    platform_.kernel.CloseHandle(link);
    return true;
}

void CInstallDlg::ShowOnLabel(TextEntry entry, int label) {
    m_stepText[static_cast<std::size_t>(label - 1)] = m_text[entry];
    UpdateData(false);
}

void CInstallDlg::GreyLabel(int label) {
    m_stepLabel[static_cast<std::size_t>(label - 1)].EnableWindow(false);
}

void CInstallDlg::DisablePortChoiceAndNext() {
    m_usbButton.EnableWindow(false);
    m_otherButton.EnableWindow(false);
    m_nextButton.EnableWindow(false);
}

void CInstallDlg::RunUsbStep() {
    switch (m_step) {
        case 1:  // wait until the engraver is not present
            DisablePortChoiceAndNext();
            if (EngraverPresent()) {
                ShowOnLabel(TextSwitchOff, 1);
            } else {
                m_step = 2;
            }
            ArmStepTimer(kAfterSwitchOffCheck);
            return;

        case 2:  // remove the previous installation
            GreyLabel(1);
            ShowOnLabel(TextDeleting, 2);
            RemovePrinterQueues();
            if (!RemoveDriverFiles()) {
                CloseWizard();
                return;
            }
            RemoveDriverPackages();
            RemovePrinterDriver();
            RemoveDeviceKey();
            m_step = 3;
            ArmStepTimer(kAfterRemoval);
            return;

        case 3:  // install the driver package
            GreyLabel(2);
            ShowOnLabel(TextInitializing, 3);
            InstallDriverPackage();
            if (m_silent == 1) {
                CloseWizard();
                return;
            }
            m_step = 4;
            ArmStepTimer(kAfterDriverPackage);
            return;

        case 4:  // wait until the engraver is present
            GreyLabel(3);
            ShowOnLabel(TextConnect, 4);
            if (EngraverPresent()) {
                if (m_makerTagFound == 1) {
                    CloseWizard();
                    return;
                }
                m_step = 5;
                GreyLabel(4);
                ShowOnLabel(TextFirmwareUpdate, 5);
            }
            ArmStepTimer(kAfterConnectCheck);
            return;

        case 5:  // send the firmware table
            SendFirmwareTable();
            m_step = 6;
            ArmStepTimer(kAfterFirmwareTable);
            return;

        case 6:  // query the engraver's status
            GreyLabel(5);
            if (QueryEngraverStatus() != 0) {
                CloseWizard();
                return;
            }
            ShowOnLabel(TextSwitchOff, 6);
            m_step = 7;
            ArmStepTimer(kAfterStatusQuery);
            return;

        case 7:  // wait until the engraver is not present
            if (!EngraverPresent()) {
                m_step = 8;
            }
            ArmStepTimer(kAfterPresenceCheck);
            return;

        case 8:  // wait until the engraver is present, then finish
            GreyLabel(6);
            ShowOnLabel(TextSwitchOn, 7);
            if (EngraverPresent()) {
                CloseWizard();
                return;
            }
            ArmStepTimer(kAfterPresenceCheck);
            return;

        default:  // not a step of this path: nothing at all
            return;
    }
}

void CInstallDlg::RunOtherStep() {
    switch (m_step) {
        case 1:  // remove the previous installation, install a printer on a port
            DisablePortChoiceAndNext();
            ShowOnLabel(TextDeleting, 1);
            RemovePrinterQueues();
            if (!RemoveDriverFiles()) {
                CloseWizard();
                return;
            }
            RemoveDriverPackages();
            RemovePrinterDriver();
            GreyLabel(1);
            ShowOnLabel(TextDriverInstallation, 2);
            if (!InstallPrinterOnPort()) {
                CloseWizard();
                return;
            }
            GreyLabel(2);
            m_stepText[2] = m_text[TextClickNext];
            m_nextButton.EnableWindow(true);
            m_step = 3;
            UpdateData(false);
            return;  // no timer: the wizard waits for a click on Next

        case 3:  // open the printer's properties window
            OpenPrinterProperties();
            m_step = 4;
            ArmStepTimer(kAfterProperties);
            return;

        case 4:  // finish: the properties window stays open in its own process
            // Handles that were never filled (the properties process did not
            // start) are not closed.
            if (m_propertiesProcess.process != platform::kNullHandle) {
                platform_.kernel.CloseHandle(m_propertiesProcess.process);
            }
            if (m_propertiesProcess.thread != platform::kNullHandle) {
                platform_.kernel.CloseHandle(m_propertiesProcess.thread);
            }
            CloseWizard();
            return;

        default:  // not a step of this path: nothing at all
            return;
    }
}

}  // namespace tw::wizard
