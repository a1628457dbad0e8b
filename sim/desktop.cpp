#include "sim/desktop.h"

#include "platform/win_codes.h"
#include "sim/sim_path.h"

namespace tw::sim {

std::int32_t Desktop::showMessageBox(platform::WindowHandle owner, std::u16string caption,
                                     std::u16string text, std::uint32_t type) {
    trace_.screen("message box [" + Utf8(caption) + "] \"" + Utf8(text) + "\"");
    messageBoxes_.push_back({clock_.now(), owner, std::move(caption), std::move(text), type});
    clock_.advanceBy(messageBoxReadTime);
    return win::kIdOk;
}

std::vector<std::u16string> Desktop::messageTexts() const {
    std::vector<std::u16string> out;
    for (const MessageBoxRecord& box : messageBoxes_) {
        out.push_back(box.text);
    }
    return out;
}

}  // namespace tw::sim
