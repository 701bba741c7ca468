// Stopping a fuzz run when a property of the core does not hold: the message
// names the property, the abort makes libFuzzer keep the input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace ph::fuzz {

inline void expect(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "\nproperty does not hold: %s\n", property);
    std::abort();
}

}  // namespace ph::fuzz
