// The sample price-history service: answers /his.php?hisurl=<address> with a
// page of made-up prices for that address, and 404 for anything else.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "sample_service/history_page.hpp"
#include "sample_service/loopback_http_server.hpp"

namespace ph::sample {

class SampleService {
public:
    using RequestObserver = std::function<void(std::string_view request_line)>;

    // Serves on the thread-default main context, on 127.0.0.1 only, from no
    // thread of its own. Port 0 picks a free port. `on_request` hears every
    // request line (method, target as sent, version) as it arrives.
    // Throws std::runtime_error if it cannot listen.
    explicit SampleService(std::uint16_t port, RequestObserver on_request = {});

    std::uint16_t port() const { return server_.port(); }

private:
    RequestObserver on_request_;
    LoopbackHttpServer server_;
};

// How the service answers one request line: the status and the page.
struct ServiceAnswer {
    unsigned status;
    std::string html;
};
ServiceAnswer answer_for(std::string_view raw_target);

}  // namespace ph::sample
