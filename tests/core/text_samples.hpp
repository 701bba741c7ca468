// Writing program texts in tests: «abc» is T("abc"), the absent text is
// Text(), and two-byte characters are spelled as code page 936 bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/text.hpp"

namespace ph::test {

// "商品" in code page 936.
inline constexpr std::string_view kShangPin = "\xC9\xCC\xC6\xB7";

inline Text T(std::string_view bytes) { return Text::stored(bytes); }

// An argument that is either absent or the given bytes, for case tables.
struct Arg {
    std::optional<std::string_view> bytes;
    Arg() = default;
    Arg(const char* b) : bytes(b) {}
    Arg(std::string_view b) : bytes(b) {}
    Text make() const { return bytes ? Text::stored(*bytes) : Text(); }
};
inline const Arg absent{};

inline std::string show(std::string_view bytes) {
    std::string out = "\xC2\xAB";  // «
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            static const char* digits = "0123456789ABCDEF";
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out + "\xC2\xBB";  // »
}

}  // namespace ph::test
