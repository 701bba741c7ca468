// Program texts: zero-terminated byte strings in the program's code page
// (GB18030, a superset of code page 936), and the operations the query uses.
//
// A Text is absent (no storage), constant (a literal of the program, never
// freed) or stored (a block it owns). Absent and empty behave alike in every
// operation. Sizes are byte counts, positions are 1-based byte positions and
// -1 means "not found". No operation fails on its inputs: every position,
// count, empty or absent argument has a defined result, given below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ph {

class Text {
public:
    // The absent text.
    constexpr Text() noexcept = default;

    // A constant text over a literal that lives for the whole run; never freed.
    static constexpr Text constant(const char* literal) noexcept {
        Text t;
        t.data_ = literal;
        t.size_ = static_cast<std::int32_t>(std::char_traits<char>::length(literal));
        t.kind_ = Kind::constant;
        return t;
    }

    // A new stored text holding `bytes` up to their first zero byte, if any.
    // Always stored, also when empty.
    static Text stored(std::string_view bytes);

    constexpr Text(Text&& other) noexcept : data_(other.data_), size_(other.size_), kind_(other.kind_) {
        other.data_ = nullptr;
        other.size_ = 0;
        other.kind_ = Kind::absent;
    }
    Text& operator=(Text&& other) noexcept;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    constexpr ~Text() {
        if (kind_ == Kind::stored) free_storage();
    }

    bool is_absent() const noexcept { return kind_ == Kind::absent; }
    bool is_constant() const noexcept { return kind_ == Kind::constant; }
    bool is_stored() const noexcept { return kind_ == Kind::stored; }

    // The bytes in front of the terminating zero; empty for an absent text.
    std::string_view bytes() const noexcept { return {data_ ? data_ : "", static_cast<std::size_t>(size_)}; }
    // Always a valid zero-terminated string ("" for an absent text).
    const char* c_str() const noexcept { return data_ ? data_ : ""; }

private:
    enum class Kind : std::uint8_t { absent, constant, stored };
    friend void text_release(Text& t) noexcept;
    friend class TextBuilder;

    Text(char* storage, std::int32_t size) noexcept;
    void free_storage() noexcept;

    const char* data_ = nullptr;
    std::int32_t size_ = 0;
    Kind kind_ = Kind::absent;
};

// Bytes in front of the terminating zero; 0 for an absent text.
std::int32_t text_size(const Text& t) noexcept;

// `count` bytes from position `start`, cut at the end of `t`. Absent (empty)
// when start < 1, start > size or count <= 0: a start below 1 is not moved
// to 1. Works on bytes: may cut a two-byte character in half.
Text text_slice(const Text& t, std::int32_t start, std::int32_t count);

// Position of the first match of `pattern` at or after `start`, or -1.
// Any start <= 1 searches the whole text; a start past the end finds nothing.
// An empty pattern gives 1 (whatever start was) when the searched part is
// not empty, else -1. Steps by character: a byte >= 0x80 starts a two-byte
// character, so a match never begins on a second byte (counted from the
// first searched byte, which is used as given). `case_insensitive` folds
// only 'A'..'Z' onto 'a'..'z', on every compared byte.
std::int32_t text_search(const Text& t, const Text& pattern, std::int32_t start, bool case_insensitive) noexcept;

// Start position meaning "the whole text" and count meaning "no limit",
// for the arguments of text_substitute that the caller leaves out.
inline constexpr std::int32_t kFromStart = 1;
inline constexpr std::int32_t kNoLimit = -1;

// `t` with occurrences of `old` replaced by `replacement` (absent: delete
// them), left to right, never overlapping, inserted text never searched
// again. Bytes before `start` (any start <= 1: none) are kept as they are;
// at most `count` replacements (negative: no limit; 0: none). An empty `t`
// or `old`, a start past the end or a count of 0 give an unchanged copy.
// Steps by character like text_search. `case_sensitive` false folds ASCII
// letters as text_search does. Absent when the result is empty.
Text text_substitute(const Text& t, const Text& old, const Text& replacement, std::int32_t start,
                     std::int32_t count, bool case_sensitive);

// -1, 0 or 1 by unsigned bytes; a proper beginning is smaller; absent
// equals empty. Case-sensitive, no locale.
int text_compare(const Text& a, const Text& b) noexcept;

// The pieces one after the other (absent pieces add nothing). Always stored,
// also when empty.
Text text_join(std::initializer_list<const Text*> pieces);
template <typename... Pieces>
Text text_join(const Text& first, const Pieces&... rest) {
    return text_join({&first, &rest...});
}

// Gives up a stored text's storage and leaves `t` absent. Does nothing for an
// absent or a constant text, so releasing whatever one received is always
// right, and releasing twice is harmless.
void text_release(Text& t) noexcept;

}  // namespace ph
