// An HTTP request line and its target, kept as the client sent them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ph::sample {

struct RequestLine {
    std::string method;
    std::string target;   // exactly as sent: path and query, nothing decoded
    std::string version;  // e.g. "HTTP/1.1"

    // "METHOD SP TARGET SP VERSION"; nullopt for anything else.
    static std::optional<RequestLine> parse(std::string_view line);
    std::string text() const;  // the line again, as it was received

    friend bool operator==(const RequestLine&, const RequestLine&) = default;
};

struct RequestTarget {
    std::string_view path;
    std::optional<std::string_view> query;  // after the first '?', when there is one
};

// Splits an origin-form target ("/p?q"); an absolute-form one
// ("http://host/p?q") is reduced to its path and query first.
RequestTarget split_target(std::string_view raw_target);

// The product address a query carries: everything after the first "hisurl="
// (a "&" of the product's own address stays part of it), still encoded.
std::optional<std::string_view> hisurl_of(std::string_view raw_query);

}  // namespace ph::sample
