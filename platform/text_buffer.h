// Fixed-size UTF-16 text buffers. Every path and command line of both programs
// is built in one of these: copies and appends are bounded and report overflow
// instead of cutting the text, so nothing is ever run, opened, deleted or
// stored from a truncated path.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tw::platform {

template <std::size_t Capacity>
class TextBuffer {
  public:
    // Units the buffer holds, terminator included.
    static constexpr std::size_t kCapacity = Capacity;

    TextBuffer() = default;

    // Replaces the content. On overflow the buffer is left as it was.
    [[nodiscard]] bool assign(std::u16string_view text) {
        if (text.size() + 1 > Capacity) {
            return false;
        }
        text.copy(data_.data(), text.size());
        setLength(text.size());
        return true;
    }

    // Appends; on overflow the buffer is left as it was.
    [[nodiscard]] bool append(std::u16string_view text) {
        if (length_ + text.size() + 1 > Capacity) {
            return false;
        }
        text.copy(data_.data() + length_, text.size());
        setLength(length_ + text.size());
        return true;
    }

    // Appends every piece, or none of them when they do not all fit.
    [[nodiscard]] bool appendAll(std::initializer_list<std::u16string_view> pieces) {
        std::size_t total = 0;
        for (std::u16string_view piece : pieces) {
            total += piece.size();
        }
        if (length_ + total + 1 > Capacity) {
            return false;
        }
        for (std::u16string_view piece : pieces) {
            (void)append(piece);
        }
        return true;
    }

    // Ends the text at `length` (no longer than it is now).
    void truncate(std::size_t length) {
        if (length < length_) {
            setLength(length);
        }
    }

    void clear() { setLength(0); }

    // The whole array, for a system call that fills the buffer; call
    // adoptFilled() afterwards with the length the call reported.
    std::span<char16_t> writable() { return std::span<char16_t>(data_); }

    // Takes over text a system call wrote into writable(). A length that does
    // not leave room for the terminator is refused and the buffer emptied, so
    // that a truncated or unfilled text is never used.
    [[nodiscard]] bool adoptFilled(std::size_t length) {
        if (length + 1 > Capacity) {
            clear();
            return false;
        }
        setLength(length);
        return true;
    }

    std::optional<std::size_t> findLast(char16_t unit) const {
        std::size_t at = view().rfind(unit);
        if (at == std::u16string_view::npos) {
            return std::nullopt;
        }
        return at;
    }

    std::u16string_view view() const { return std::u16string_view(data_.data(), length_); }
    std::u16string str() const { return std::u16string(view()); }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    // The terminated text, for a call that wants a C string.
    const char16_t* c_str() const { return data_.data(); }

  private:
    void setLength(std::size_t length) {
        length_ = length;
        data_[length_] = u'\0';
    }

    std::array<char16_t, Capacity> data_{};
    std::size_t length_ = 0;
};

// The 260-unit buffer of every path and command line.
using PathBuffer = TextBuffer<260>;

}  // namespace tw::platform
