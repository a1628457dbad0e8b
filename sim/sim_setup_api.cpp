#include "sim/sim_setup_api.h"

#include "platform/win_codes.h"

namespace tw::sim {

platform::Result<std::int32_t> SimSetupApi::SetupPromptReboot() {
    if (auto planned = m_.faults.check("SetupPromptReboot")) {
        m_.trace.call("SetupPromptReboot -> -1, error " + std::to_string(*planned));
        return {-1, *planned};
    }
    RestartPrompt& prompt = m_.restartPrompt;
    m_.trace.screen("restart prompt: restart the computer now?");
    prompt.shown.push_back({m_.clock.now(), prompt.userAgrees});
    m_.clock.advanceBy(prompt.answerTime);
    std::int32_t flags = win::kSpFileQRebootRecommended;
    if (prompt.userAgrees) {
        prompt.restartStarted = true;
        flags |= win::kSpFileQRebootInProgress;
        m_.trace.effect("restart of the computer started");
    } else {
        m_.trace.screen("the user declines the restart");
    }
    m_.trace.call("SetupPromptReboot -> " + std::to_string(flags));
    return {flags, 0};
}

}  // namespace tw::sim
