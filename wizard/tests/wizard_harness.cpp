#include "wizard/tests/wizard_harness.h"

#include <cstdio>

#include "platform/text_format.h"

namespace tw::wizard {
namespace {

std::string ControlName(const std::string& id) {
    if (id == "1013") {
        return "Next";
    }
    if (id == "2") {
        return "Cancel";
    }
    if (id == "1005") {
        return "USB";
    }
    if (id == "1006") {
        return "Other";
    }
    return "control " + id;
}

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

WizardHarness::WizardHarness() {
    machine.files.addFile(kInstallPath);
    machine.resources.set(kInstallPath, sim::InstallResources());
    t0_ = machine.clock.now();
}

void WizardHarness::run(std::u16string_view commandLine) {
    t0_ = machine.clock.now();
    app.emplace(install.platform(), operations, commandLine);
    app->InitInstance();
}

std::u16string WizardHarness::text(std::int32_t control) const {
    const sim::ControlState* state = dialog().control(control);
    return state == nullptr ? u"<no control>" : state->text;
}

bool WizardHarness::enabled(std::int32_t control) const {
    const sim::ControlState* state = dialog().control(control);
    return state != nullptr && state->enabled;
}

bool WizardHarness::checked(std::int32_t control) const {
    const sim::ControlState* state = dialog().control(control);
    return state != nullptr && state->checked;
}

std::vector<std::u16string> WizardHarness::labels() const {
    std::vector<std::u16string> out;
    for (std::int32_t id : kLabelIds) {
        out.push_back(text(id));
    }
    return out;
}

std::string WizardHarness::greyedLabels() const {
    std::string out;
    for (int label = 1; label <= 7; ++label) {
        if (!enabled(kLabelIds[label - 1])) {
            out += (out.empty() ? "" : " ") + std::to_string(label);
        }
    }
    return out;
}

std::vector<std::string> WizardHarness::timeline() const {
    std::vector<std::string> out;
    for (const sim::TraceEntry& entry : machine.trace.entries()) {
        std::string what;
        const std::string& text = entry.text;
        if (entry.kind == sim::TraceKind::Effect && StartsWith(text, "operation ")) {
            what = text.substr(10);
        } else if (entry.kind == sim::TraceKind::Call && StartsWith(text, "SetTimer(1, ")) {
            what = "timer " + text.substr(12, text.find(')') - 12);
        } else if (entry.kind == sim::TraceKind::Screen &&
                   StartsWith(text, "user clicks control ")) {
            std::string rest = text.substr(20);
            std::size_t colon = rest.find(':');
            what = "click " + ControlName(rest.substr(0, colon)) +
                   (colon == std::string::npos ? "" : " (lost)");
        } else if (entry.kind == sim::TraceKind::Screen && StartsWith(text, "click on control ")) {
            what = "click ignored";
        } else if (entry.kind == sim::TraceKind::Screen && StartsWith(text, "message box ")) {
            what = "message " + text.substr(text.find('"'));
        } else if (entry.kind == sim::TraceKind::Screen && StartsWith(text, "dialog 102 closes")) {
            what = text.find("result 1)") != std::string::npos ? "closed OK" : "closed Cancel";
        }
        if (what.empty()) {
            continue;
        }
        out.push_back(TimelineLine(
            static_cast<std::int64_t>(entry.at) - static_cast<std::int64_t>(t0_), what));
    }
    return out;
}

std::string TimelineLine(std::int64_t offset, std::string_view what) {
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "+%6lld ", static_cast<long long>(offset));
    return stamp + std::string(what);
}

std::vector<std::string> UsbRemovalAt(std::int64_t offset) {
    std::vector<std::string> lines;
    for (std::string_view what : std::initializer_list<std::string_view>{
             "RemovePrinterQueues", "RemoveDriverFiles: true", "RemoveDriverPackages",
             "RemovePrinterDriver", "RemoveDeviceKey", "timer 500"}) {
        lines.push_back(TimelineLine(offset, what));
    }
    return lines;
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> pieces) {
    std::vector<std::string> lines;
    for (const std::vector<std::string>& piece : pieces) {
        lines.insert(lines.end(), piece.begin(), piece.end());
    }
    return lines;
}

}  // namespace tw::wizard
