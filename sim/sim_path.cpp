#include "sim/sim_path.h"

#include <vector>

#include "platform/text_format.h"

namespace tw::sim {

char16_t FoldCase(char16_t unit) {
    if (unit >= u'a' && unit <= u'z') {
        return static_cast<char16_t>(unit - 32);
    }
    if (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) {
        return static_cast<char16_t>(unit - 32);
    }
    return unit;
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& unit : out) {
        unit = FoldCase(unit);
    }
    return out;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

bool ContainsNoCase(std::u16string_view haystack, std::u16string_view needle) {
    return FoldCase(haystack).find(FoldCase(needle)) != std::u16string::npos;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsAbsolutePath(std::u16string_view path) {
    return path.size() >= 2 && path[1] == u':' &&
           (path.size() == 2 || path[2] == u'\\' || path[2] == u'/');
}

std::u16string NormalizePath(std::u16string_view path) {
    std::u16string text(path);
    for (char16_t& unit : text) {
        if (unit == u'/') {
            unit = u'\\';
        }
    }
    std::u16string root;
    std::u16string_view rest = text;
    if (text.size() >= 2 && text[1] == u':') {
        root = text.substr(0, 2);
        root[0] = FoldCase(root[0]);
        root += u'\\';
        rest = std::u16string_view(text).substr(2);
    }
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find(u'\\', start);
        if (end == std::u16string_view::npos) {
            end = rest.size();
        }
        std::u16string_view part = rest.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::u16string out = root;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            out += u'\\';
        }
        out += parts[i];
    }
    return out;
}

std::u16string ResolvePath(std::u16string_view current, std::u16string_view path) {
    if (IsAbsolutePath(path)) {
        return NormalizePath(path);
    }
    if (path.size() >= 2 && path[1] == u':') {
        // "X:name": relative to drive X's current folder, taken as its root.
        return NormalizePath(std::u16string(path.substr(0, 2)) + u"\\" +
                             std::u16string(path.substr(2)));
    }
    std::u16string base = NormalizePath(current);
    if (!path.empty() && (path[0] == u'\\' || path[0] == u'/')) {
        return NormalizePath(base.substr(0, 2) + std::u16string(path));
    }
    return NormalizePath(base + u"\\" + std::u16string(path));
}

std::u16string ParentPath(std::u16string_view normalizedPath) {
    std::size_t at = normalizedPath.rfind(u'\\');
    if (at == std::u16string_view::npos || normalizedPath.size() <= 3) {
        return {};
    }
    if (at == 2) {
        return std::u16string(normalizedPath.substr(0, 3));
    }
    return std::u16string(normalizedPath.substr(0, at));
}

std::u16string_view FileName(std::u16string_view normalizedPath) {
    std::size_t at = normalizedPath.rfind(u'\\');
    return at == std::u16string_view::npos ? normalizedPath : normalizedPath.substr(at + 1);
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
    std::u16string out(folder);
    if (!out.empty() && out.back() != u'\\') {
        out += u'\\';
    }
    out += name;
    return out;
}

bool HasExtension(std::u16string_view path) {
    std::u16string normal = NormalizePath(path);
    return FileName(normal).find(u'.') != std::u16string_view::npos;
}

std::string Utf8(std::u16string_view text) {
    return platform::ToUtf8(text);
}

}  // namespace tw::sim
