#include "sample_service/price_series.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ph::sample {
namespace {

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// splitmix64: small, fast, and the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    int between(int low, int high) { return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1)); }

private:
    std::uint64_t state_;
};

// Shelf prices end in 9 yuan, as shops like them.
std::int64_t shelf_price(double yuan) {
    const auto whole = std::max<std::int64_t>(9, std::llround(yuan));
    return (whole / 10 * 10 + 9) * 100;
}

bool is_sale_day(std::chrono::sys_days day) {
    const std::chrono::year_month_day date{day};
    const auto month = static_cast<unsigned>(date.month());
    const auto day_of_month = static_cast<unsigned>(date.day());
    return (month == 6 && day_of_month == 18) || (month == 11 && day_of_month == 11) ||
           (month == 12 && day_of_month == 12);
}

}  // namespace

PriceHistory sample_history(std::string_view address, int day_count) {
    day_count = std::max(day_count, 1);
    Random random(fnv1a(address));
    const double base_yuan = std::exp(std::log(19.0) + random.unit() * (std::log(8999.0) - std::log(19.0)));
    std::int64_t shelf = shelf_price(base_yuan);
    std::int64_t offer = 0;
    int offer_days_left = 0;

    PriceHistory history;
    const std::chrono::sys_days last{sample_last_day};
    for (int i = 0; i < day_count; ++i) {
        const auto day = last - std::chrono::days{day_count - 1 - i};
        if (random.unit() < 0.025) {
            const double moved = static_cast<double>(shelf) / 100.0 * (0.92 + random.unit() * 0.16);
            shelf = shelf_price(std::clamp(moved, base_yuan * 0.75, base_yuan * 1.25));
        }
        if (offer_days_left == 0) {
            const bool sale = is_sale_day(day) && random.unit() < 0.9;
            if (sale || random.unit() < 0.035) {
                const double off = sale ? 0.15 + random.unit() * 0.15 : 0.05 + random.unit() * 0.13;
                offer = std::max<std::int64_t>(100, std::llround(static_cast<double>(shelf) * (1.0 - off) / 100.0) * 100);
                offer_days_left = sale ? random.between(1, 3) : random.between(1, 6);
            }
        }
        std::int64_t cents = shelf;
        if (offer_days_left > 0) {
            cents = std::min(offer, shelf);
            --offer_days_left;
        }
        history.days.push_back({day, cents});
    }

    history.highest = history.lowest = history.days.front();
    for (const auto& price : history.days) {
        if (price.cents >= history.highest.cents) history.highest = price;
        if (price.cents <= history.lowest.cents) history.lowest = price;
    }
    history.current = history.days.back();
    return history;
}

std::string day_text(std::chrono::sys_days day) {
    const std::chrono::year_month_day date{day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::string price_text(std::int64_t cents) {
    std::string whole = std::to_string(cents / 100);
    for (auto at = static_cast<std::ptrdiff_t>(whole.size()) - 3; at > 0; at -= 3)
        whole.insert(static_cast<std::size_t>(at), ",");
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%02d", static_cast<int>(cents % 100));
    return whole + fraction;
}

}  // namespace ph::sample
