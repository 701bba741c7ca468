// Turning a product address, as it came in a query, into text for a page.
#pragma once

#include <string>
#include <string_view>

namespace ph::sample {

// Decodes every "%XX" escape to its byte; a '%' that starts no escape stays.
// '+' stays too: in an address it is a plus sign, not a space.
std::string percent_decode(std::string_view encoded);

// The decoded address as UTF-8 for reading: bytes that are not UTF-8 are read
// as GB18030 (the code page many shop addresses were written in) or else
// replaced, and control characters are shown as their "%XX" escapes.
std::string readable_address(std::string_view raw_address);

// Escapes text for HTML content and for quoted attribute values.
std::string html_escape(std::string_view text);

}  // namespace ph::sample
