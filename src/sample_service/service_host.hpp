// The port part of the build's service host ("127.0.0.1:8936" gives 8936).
#pragma once

#include <cstdint>
#include <string_view>

namespace ph::sample {

constexpr std::uint16_t port_of_host(std::string_view host) {
    const auto colon = host.rfind(':');
    if (colon == std::string_view::npos || colon + 1 == host.size()) return 80;
    unsigned port = 0;
    for (const char c : host.substr(colon + 1)) {
        if (c < '0' || c > '9') return 80;
        port = port * 10 + static_cast<unsigned>(c - '0');
        if (port > 65535) return 80;
    }
    return static_cast<std::uint16_t>(port);
}

}  // namespace ph::sample
