#include "platform/text_format.h"

#include <vector>

namespace tw::platform {

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArgument> args) {
    std::vector<FormatArgument> pending(args);
    std::size_t next = 0;
    std::u16string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char16_t c = format[i];
        if (c != u'%' || i + 1 == format.size()) {
            out.push_back(c);
            continue;
        }
        char16_t directive = format[i + 1];
        if (directive == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        bool wantsNumber = directive == u'd' || directive == u'i';
        bool wantsText = directive == u's';
        if ((!wantsNumber && !wantsText) || next == pending.size()) {
            out.push_back(c);
            continue;
        }
        const FormatArgument& arg = pending[next];
        if (wantsNumber && std::holds_alternative<std::int32_t>(arg)) {
            std::string digits = std::to_string(std::get<std::int32_t>(arg));
            out.append(digits.begin(), digits.end());
        } else if (wantsText && std::holds_alternative<std::u16string_view>(arg)) {
            out.append(std::get<std::u16string_view>(arg));
        } else {
            out.push_back(c);
            continue;
        }
        ++next;
        ++i;
    }
    return out;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t extra = 0;
        if (byte < 0x80) {
            cp = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            cp = byte & 0x1F;
            extra = 1;
        } else if ((byte & 0xF0) == 0xE0) {
            cp = byte & 0x0F;
            extra = 2;
        } else if ((byte & 0xF8) == 0xF0) {
            cp = byte & 0x07;
            extra = 3;
        }
        if (extra > 0 && i + extra >= text.size()) {
            out.push_back(0xFFFD);
            break;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

}  // namespace tw::platform
