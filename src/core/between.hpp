// Cutting a part out of a text between two markers.
#pragma once

#include "core/text.hpp"

namespace ph {

// The part of `text` between the first `before` found at or after `start`
// and the first `after` behind it. Every "#引号" in a marker stands for a
// double quote (the text itself is never changed).
// - any start <= 1 means the first byte;
// - an empty `before` starts the part at byte 1, whatever `start` was, as
//   long as the text reaches past start - 1;
// - an empty `after`, adjacent markers, a missing marker, an empty text or a
//   start past the end give the empty text (absent or constant);
// - `case_insensitive` folds ASCII letters in both searches.
Text text_between(const Text& text, const Text& before, const Text& after, std::int32_t start,
                  bool case_insensitive);

}  // namespace ph
