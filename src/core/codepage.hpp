// Conversion between the program's code page (GB18030, which keeps every
// code page 936 text byte for byte and holds every Unicode character) and
// the UTF-8 of the toolkit. Only the toolkit boundary calls these.
#pragma once

#include <string>
#include <string_view>

#include "core/text.hpp"

namespace ph {

// A byte sequence that is not GB18030 (a slice through a two-byte
// character, say) becomes U+FFFD, one per byte, so nothing is silently lost.
std::string to_utf8(std::string_view program_bytes);
std::string to_utf8(const Text& t);

// Invalid UTF-8 becomes '?', one per byte. Absent when `utf8` is empty.
Text text_from_utf8(std::string_view utf8);

}  // namespace ph
