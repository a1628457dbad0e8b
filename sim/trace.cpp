#include "sim/trace.h"

#include <cstdio>

namespace tw::sim {

const char* TraceKindName(TraceKind kind) {
    switch (kind) {
        case TraceKind::Call:
            return "call";
        case TraceKind::Effect:
            return "effect";
        case TraceKind::Screen:
            return "screen";
        case TraceKind::Step:
            return "step";
    }
    return "?";
}

std::vector<TraceEntry> Trace::ofKind(TraceKind kind) const {
    std::vector<TraceEntry> out;
    for (const TraceEntry& entry : entries_) {
        if (entry.kind == kind) {
            out.push_back(entry);
        }
    }
    return out;
}

std::vector<TraceEntry> Trace::matching(std::string_view needle) const {
    std::vector<TraceEntry> out;
    for (const TraceEntry& entry : entries_) {
        if (entry.text.find(needle) != std::string::npos) {
            out.push_back(entry);
        }
    }
    return out;
}

std::string Trace::format(bool withCalls) const {
    std::string out;
    for (const TraceEntry& entry : entries_) {
        if (!withCalls && entry.kind == TraceKind::Call) {
            continue;
        }
        char stamp[48];
        std::snprintf(stamp, sizeof stamp, "[%10llu ms] %-6s ",
                      static_cast<unsigned long long>(entry.at), TraceKindName(entry.kind));
        out += stamp;
        out += entry.text;
        out += '\n';
    }
    return out;
}

}  // namespace tw::sim
