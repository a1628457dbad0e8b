#include "wizard/install_app.h"

namespace tw::wizard {

bool CInstallApp::InitInstance() {
    SetRegistryKey(kRegistryKey);
    {
        CInstallDlg dlg(platform_, operations_, m_lpCmdLine);
        m_pMainWnd = &dlg;
        // OK or cancel: the result is not looked at.
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return false;
}

}  // namespace tw::wizard
