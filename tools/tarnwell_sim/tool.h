// The tarnwell-sim command line: reads the arguments, loads the scenario (the
// built-in default one when none is named), runs it and prints the report.
#pragma once

#include <ostream>

namespace tw::tarnwell_sim {

// Exit codes of tarnwell-sim.
inline constexpr int kExitAsExpected = 0;  // ran; the expected outcome was met or not checked
inline constexpr int kExitUnmet = 1;       // ran; the expected outcome was not met
inline constexpr int kExitInvalid = 2;     // bad arguments or scenario file: nothing ran
inline constexpr int kExitStuck = 3;       // the run waited for something that never came

// With `showProgress` (stderr is a terminal), a run that takes more than a
// second of real time shows on `err` how far it has come in virtual time.
int RunTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
            bool showProgress = false);

}  // namespace tw::tarnwell_sim
