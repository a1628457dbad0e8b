// install's wizard on the simulated machine, for the wizard's tests: the
// program file with its resources, the platform of its process, scripted
// operations, and the run's timeline read back from the trace.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_platform.h"
#include "wizard/install_app.h"
#include "wizard/tests/scripted_operations.h"

namespace tw::wizard {

class WizardHarness {
  public:
    static constexpr std::u16string_view kInstallPath = u"C:\\Pkg\\Systems\\Install.exe";

    WizardHarness();

    // Runs install with `commandLine` until its dialog closes. The dialog
    // opens at t0().
    void run(std::u16string_view commandLine = u"");

    // The clock when the run starts (and the dialog opens).
    sim::Millis t0() const { return t0_; }
    sim::Millis at(sim::Millis offset) const { return t0_ + offset; }

    // The dialog as the run left it (also after it closed).
    const sim::DialogWindow& dialog() const { return *machine.dialogs.last(); }
    std::u16string text(std::int32_t control) const;
    bool enabled(std::int32_t control) const;
    bool checked(std::int32_t control) const;
    // The texts of the seven step labels, top to bottom.
    std::vector<std::u16string> labels() const;
    // Which of the six greyable labels are greyed, as "1 2 ..." .
    std::string greyedLabels() const;

    // What happened, relative to t0: "+  1000 OpenEngraver: absent",
    // "+  1000 timer 1000", "+  2000 click Next", "+ 35000 closed OK".
    std::vector<std::string> timeline() const;

    sim::SimMachine machine;
    sim::SimPlatform install{machine, std::u16string(kInstallPath), u"C:\\Pkg"};
    ScriptedOperations operations{machine, install.platform()};
    // The application object, kept after the run.
    std::optional<CInstallApp> app;

  private:
    sim::Millis t0_ = 0;
};

// The step labels' control ids, top to bottom.
inline constexpr std::int32_t kLabelIds[7] = {1009, 1010, 1011, 1012, 1014, 1015, 1016};

// Expected timelines, built from the stretches several runs share.
//
// One line as timeline() writes it: "+  1000 OpenEngraver: absent".
std::string TimelineLine(std::int64_t offset, std::string_view what);
// The removal step of the USB path (and of the silent run) `offset` after the
// dialog opened: its five operations, then the 500 ms timer to step 3.
std::vector<std::string> UsbRemovalAt(std::int64_t offset);
// The pieces, one after the other.
std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> pieces);

}  // namespace tw::wizard
