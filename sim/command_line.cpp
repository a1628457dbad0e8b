#include "sim/command_line.h"

namespace tw::sim {

std::vector<std::u16string> SplitArguments(std::u16string_view text) {
    std::vector<std::u16string> arguments;
    std::u16string current;
    bool inArgument = false;
    bool quoted = false;
    std::size_t at = 0;
    while (at < text.size()) {
        char16_t unit = text[at];
        if (!quoted && (unit == u' ' || unit == u'\t')) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            ++at;
            continue;
        }
        inArgument = true;
        if (unit == u'\\') {
            std::size_t run = 0;
            while (at < text.size() && text[at] == u'\\') {
                ++run;
                ++at;
            }
            if (at < text.size() && text[at] == u'"') {
                current.append(run / 2, u'\\');
                if (run % 2 == 1) {
                    current.push_back(u'"');  // an escaped quote
                    ++at;
                }
            } else {
                current.append(run, u'\\');
            }
            continue;
        }
        if (unit == u'"') {
            quoted = !quoted;
        } else {
            current.push_back(unit);
        }
        ++at;
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

}  // namespace tw::sim
