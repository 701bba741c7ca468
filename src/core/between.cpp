#include "core/between.hpp"

#include "core/texts.hpp"

namespace ph {
namespace {

Text with_quotes(const Text& marker) {
    return text_substitute(marker, texts::quote_marker, texts::double_quote, kFromStart, kNoLimit, true);
}

}  // namespace

Text text_between(const Text& text, const Text& before, const Text& after, std::int32_t start,
                  bool case_insensitive) {
    Text b = with_quotes(before);
    Text a = with_quotes(after);
    Text result = Text::constant(texts::empty.c_str());
    const std::int32_t p = text_search(text, b, start, case_insensitive);
    if (p != -1) {
        const std::int32_t c = p + text_size(b);
        const std::int32_t q = text_search(text, a, c, case_insensitive);
        if (q != -1) result = text_slice(text, c, q - c);
    }
    text_release(b);
    text_release(a);
    return result;
}

}  // namespace ph
