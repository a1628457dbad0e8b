// The restart question the setup functions ask (SetupPromptReboot), answered
// by the simulated user after a while. A "yes" starts the restart of the
// machine; the simulation records that and goes on (the program's remaining
// steps still run in the test, as the system would take a moment to close it).
#pragma once

#include <vector>

#include "sim/virtual_clock.h"

namespace tw::sim {

struct RestartPromptRecord {
    Millis at = 0;
    bool agreed = false;
};

struct RestartPrompt {
    // How the simulated user answers, and after how long.
    bool userAgrees = false;
    Millis answerTime = 0;

    // What happened.
    std::vector<RestartPromptRecord> shown;
    bool restartStarted = false;
};

}  // namespace tw::sim
