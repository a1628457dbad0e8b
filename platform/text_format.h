// The few pieces of text handling the programs need beyond the buffers:
// wsprintf-style formatting of message texts, and UTF-8 for traces and tools.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tw::platform {

using FormatArgument = std::variant<std::int32_t, std::u16string_view>;

// Formats like wsprintfW for the directives the programs use: %d and %i
// (signed decimal), %s (text) and %% (a percent sign). Arguments are taken in
// order; a directive without an argument, or of another kind, is left as it
// stands so that a mistake shows instead of reading what was never passed.
std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArgument> args);

// "<text> = %d" style messages: one signed decimal argument.
inline std::u16string FormatCode(std::u16string_view format, std::int32_t code) {
    return FormatText(format, {code});
}

// Text conversions for traces, tools and tests. Unpaired surrogates become
// U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace tw::platform
