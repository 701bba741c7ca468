// A made-up but plausible daily price history for a product address: the same
// address always gives the same history, different addresses different ones.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ph::sample {

struct DayPrice {
    std::chrono::sys_days day;
    std::int64_t cents = 0;
};

struct PriceHistory {
    std::vector<DayPrice> days;  // one a day, oldest first
    DayPrice highest;            // the latest day of the highest price
    DayPrice lowest;             // the latest day of the lowest price
    DayPrice current;            // the last day
};

inline constexpr int sample_day_count = 180;
// A fixed last day keeps every page the same from one run to the next.
inline constexpr std::chrono::year_month_day sample_last_day{std::chrono::year{2024}, std::chrono::December,
                                                             std::chrono::day{31}};

// `address` is the decoded product address; its bytes seed the history.
PriceHistory sample_history(std::string_view address, int day_count = sample_day_count);

std::string day_text(std::chrono::sys_days day);  // "2024-12-31"
std::string price_text(std::int64_t cents);       // "1,299.00"

}  // namespace ph::sample
