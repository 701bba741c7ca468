// Plain, slow restatements of what the core's text operations do, written
// apart from the core so that the fuzz targets can hold one against the other.
// Texts are std::string bytes here; positions are 1-based, -1 is "not found".
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ph::fuzz {

// "#引号" in code page 936: in a marker it stands for a double quote.
inline constexpr std::string_view kQuoteMarker = "#\xD2\xFD\xBA\xC5";

inline unsigned char fold_ascii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Whether `needle` lies in `hay` from the 0-based byte `at`.
inline bool occurs_at(std::string_view hay, std::string_view needle, std::int64_t at, bool fold_case) {
    if (at < 0 || at > static_cast<std::int64_t>(hay.size()) ||
        hay.size() - static_cast<std::size_t>(at) < needle.size())
        return false;
    for (std::size_t i = 0; i < needle.size(); ++i) {
        const auto a = static_cast<unsigned char>(hay[static_cast<std::size_t>(at) + i]);
        const auto b = static_cast<unsigned char>(needle[i]);
        if (fold_case ? fold_ascii(a) != fold_ascii(b) : a != b) return false;
    }
    return true;
}

// The 0-based byte a 1-based start names; any start below 1 names byte 0.
inline std::int64_t first_searched(std::int32_t start) { return std::max<std::int64_t>(0, std::int64_t{start} - 1); }

// The 0-based bytes where a search from `start` may find a match: the first
// searched byte as given, then every character start behind it, where a byte
// of 0x80 or more and the byte after it are one character.
inline std::vector<std::int64_t> match_places(std::string_view hay, std::int32_t start) {
    std::vector<std::int64_t> places;
    const auto n = static_cast<std::int64_t>(hay.size());
    for (std::int64_t q = first_searched(start); q < n;) {
        places.push_back(q);
        q += (static_cast<unsigned char>(hay[static_cast<std::size_t>(q)]) >= 0x80 && q + 1 < n) ? 2 : 1;
    }
    return places;
}

inline std::int32_t search(std::string_view hay, std::string_view needle, std::int32_t start, bool fold_case) {
    if (first_searched(start) >= static_cast<std::int64_t>(hay.size())) return -1;
    if (needle.empty()) return 1;
    for (const std::int64_t q : match_places(hay, start))
        if (occurs_at(hay, needle, q, fold_case)) return static_cast<std::int32_t>(q + 1);
    return -1;
}

// Empty for the cases where the core gives an absent text.
inline std::string slice(std::string_view t, std::int32_t start, std::int32_t count) {
    const std::int64_t p = std::int64_t{start} - 1;
    if (p < 0 || p >= static_cast<std::int64_t>(t.size()) || count <= 0) return {};
    return std::string(t.substr(static_cast<std::size_t>(p), static_cast<std::size_t>(count)));
}

// Substitution as a chain of searches: each one starts right behind the
// previous replacement, so inserted text is never searched.
inline std::string substitute(std::string_view t, std::string_view old, std::string_view replacement,
                              std::int32_t start, std::int32_t count, bool case_sensitive) {
    const std::int64_t b = first_searched(start);
    if (t.empty()) return {};
    if (old.empty() || b >= static_cast<std::int64_t>(t.size()) || count == 0) return std::string(t);
    std::string out(t.substr(0, static_cast<std::size_t>(b)));
    std::int64_t q = b;
    for (std::int64_t done = 0; count < 0 || done < count; ++done) {
        const std::int32_t found = search(t, old, static_cast<std::int32_t>(q + 1), !case_sensitive);
        if (found == -1) break;
        out += t.substr(static_cast<std::size_t>(q), static_cast<std::size_t>(found - 1 - q));
        out += replacement;
        q = found - 1 + static_cast<std::int64_t>(old.size());
    }
    out += t.substr(static_cast<std::size_t>(q));
    return out;
}

inline int compare(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A marker with each quote marker (found stepping by character) turned into '"'.
inline std::string with_quotes(std::string_view marker) {
    std::string out;
    for (std::size_t q = 0; q < marker.size();) {
        if (occurs_at(marker, kQuoteMarker, static_cast<std::int64_t>(q), false)) {
            out += '"';
            q += kQuoteMarker.size();
        } else {
            const std::size_t step = (static_cast<unsigned char>(marker[q]) >= 0x80 && q + 1 < marker.size()) ? 2 : 1;
            out += marker.substr(q, step);
            q += step;
        }
    }
    return out;
}

// Where text_between's part lies: 0-based offset and size; size 0 when the
// part is empty.
struct Part {
    std::int64_t offset = 0, size = 0;
};

inline Part between(std::string_view text, std::string_view before, std::string_view after, std::int32_t start,
                    bool fold_case) {
    const std::string b = with_quotes(before);
    const std::string a = with_quotes(after);
    const std::int32_t p = search(text, b, start, fold_case);
    if (p == -1) return {};
    const std::int64_t c = p + static_cast<std::int64_t>(b.size());  // 1-based, right behind `before`
    const std::int32_t q = search(text, a, static_cast<std::int32_t>(c), fold_case);
    if (q == -1 || q <= c) return {};
    return {c - 1, q - c};
}

}  // namespace ph::fuzz
