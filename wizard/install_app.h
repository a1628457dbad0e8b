// CInstallApp: the application object of install. It shows the wizard dialog
// modally and, once the dialog has closed, lets the program end.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "wizard/install_dlg.h"
#include "wizard/install_operations.h"

namespace tw::wizard {

class CInstallApp {
  public:
    // The program's registry key. Set at start-up; nothing is stored under it.
    static constexpr std::u16string_view kRegistryKey =
        u"Applications locales g\u00E9n\u00E9r\u00E9es par AppWizard";

    // `commandLine`: the text after the program name, the blanks after it
    // skipped.
    CInstallApp(platform::Platform& platform, InstallOperations& operations,
                std::u16string_view commandLine)
        : m_lpCmdLine(commandLine), platform_(platform), operations_(operations) {}

    // Runs the wizard dialog to its end. Returns false: the program then ends
    // without a message loop of its own.
    bool InitInstance();

    const std::u16string m_lpCmdLine;
    std::u16string m_pszRegistryKey;
    // The dialog while it is shown; none before and after.
    CInstallDlg* m_pMainWnd = nullptr;

  private:
    void SetRegistryKey(std::u16string_view key) { m_pszRegistryKey = key; }

    platform::Platform& platform_;
    InstallOperations& operations_;
};

}  // namespace tw::wizard
