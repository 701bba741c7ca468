#include "core/link_check.hpp"

#include "core/between.hpp"
#include "core/texts.hpp"

namespace ph {

Text link_scheme(const Text& link) { return text_between(link, texts::empty, texts::scheme_separator, 0, false); }

bool scheme_accepted(const Text& scheme) noexcept {
    return text_compare(scheme, texts::http) == 0 || text_compare(scheme, texts::https) == 0;
}

Text make_history_address(const Text& link) { return text_join(texts::query_prefix, link); }

}  // namespace ph
