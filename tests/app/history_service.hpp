// Where the program built with the default service host sends its queries.
#pragma once

#include <cstdint>
#include <string_view>

namespace ph::test {

inline constexpr std::uint16_t kServicePort = 8936;
inline constexpr std::string_view kQueryPath = "/his.php?hisurl=";

}  // namespace ph::test
