#include "sim/sim_window.h"

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

std::u16string SimWindow::applicationName() const {
    std::u16string name(FileName(process_.image));
    std::size_t dot = name.rfind(u'.');
    return dot == std::u16string::npos ? name : name.substr(0, dot);
}

platform::Result<std::int32_t> SimWindow::MessageBox(std::u16string_view text) {
    std::int32_t answer = m_.desktop.showMessageBox(kSimDialogWindow, applicationName(),
                                                    std::u16string(text), win::kMbOk);
    return {answer, 0};
}

}  // namespace tw::sim
