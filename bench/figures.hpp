// Repeated measurements and what the tables show of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ph::bench {

struct Summary {
    double median = 0, p25 = 0, p75 = 0, min = 0, max = 0;
    std::size_t count = 0;
};

// Quartiles by linear interpolation between the sorted values; nullopt for none.
std::optional<Summary> summarise(std::vector<double> values);

// "123" or "12.3" (below 100), or "–" when there is nothing.
std::string figure(const std::optional<double>& value);
// "median (p25–p75, min–max)".
std::string spread(const std::optional<Summary>& summary);

}  // namespace ph::bench
