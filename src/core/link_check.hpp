// Whether a product address is one we can look up, and the address of its
// price-history page.
#pragma once

#include "core/text.hpp"

namespace ph {

// The bytes in front of the link's first "://"; empty when there is none or
// the link starts with it. Nothing is trimmed.
Text link_scheme(const Text& link);

// True for exactly "http" or "https": case-sensitive, no spaces allowed.
bool scheme_accepted(const Text& scheme) noexcept;

// The query prefix followed by the link's bytes, unchanged: no trimming,
// escaping or conversion. Always stored.
Text make_history_address(const Text& link);

}  // namespace ph
