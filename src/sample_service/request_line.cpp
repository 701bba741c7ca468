#include "sample_service/request_line.hpp"

namespace ph::sample {

std::optional<RequestLine> RequestLine::parse(std::string_view line) {
    const auto first_space = line.find(' ');
    if (first_space == std::string_view::npos || first_space == 0) return std::nullopt;
    const auto last_space = line.rfind(' ');
    if (last_space == first_space || last_space + 1 == line.size()) return std::nullopt;
    const auto target = line.substr(first_space + 1, last_space - first_space - 1);
    if (target.empty() || target.find(' ') != std::string_view::npos) return std::nullopt;
    return RequestLine{std::string(line.substr(0, first_space)), std::string(target),
                       std::string(line.substr(last_space + 1))};
}

std::string RequestLine::text() const { return method + ' ' + target + ' ' + version; }

RequestTarget split_target(std::string_view raw_target) {
    if (const auto scheme_end = raw_target.find("://");
        scheme_end != std::string_view::npos && raw_target.front() != '/') {
        const auto path_start = raw_target.find_first_of("/?", scheme_end + 3);
        raw_target = path_start == std::string_view::npos ? std::string_view("/")
                                                          : raw_target.substr(path_start);
    }
    const auto question = raw_target.find('?');
    if (question == std::string_view::npos) return {raw_target, std::nullopt};
    return {raw_target.substr(0, question), raw_target.substr(question + 1)};
}

std::optional<std::string_view> hisurl_of(std::string_view raw_query) {
    constexpr std::string_view key = "hisurl=";
    const auto at = raw_query.find(key);
    if (at == std::string_view::npos) return std::nullopt;
    return raw_query.substr(at + key.size());
}

}  // namespace ph::sample
