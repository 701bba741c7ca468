#include "figures.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ph::bench {
namespace {

double quantile(const std::vector<double>& sorted, double q) {
    const double position = q * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const auto above = std::min(below + 1, sorted.size() - 1);
    const double part = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * part;
}

}  // namespace

std::optional<Summary> summarise(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    return Summary{quantile(values, 0.5), quantile(values, 0.25), quantile(values, 0.75), values.front(),
                   values.back(), values.size()};
}

std::string figure(const std::optional<double>& value) {
    if (!value) return "–";
    char text[32];
    std::snprintf(text, sizeof text, std::fabs(*value) < 100 ? "%.1f" : "%.0f", *value);
    return text;
}

std::string spread(const std::optional<Summary>& summary) {
    if (!summary) return "–";
    return figure(summary->median) + " (" + figure(summary->p25) + "–" + figure(summary->p75) + ", " +
           figure(summary->min) + "–" + figure(summary->max) + ")";
}

}  // namespace ph::bench
