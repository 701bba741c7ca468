// The benchmark's own price-history service on 127.0.0.1: a thread with a
// main context of its own, so that the moment each request line arrives is
// noted at once, whatever the harness is busy with. /his.php gets the
// colour-coded rows page; anything else a 404.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sample_service/glib_handles.hpp"

namespace ph::bench {

using Clock = std::chrono::steady_clock;

struct ArrivedLine {
    Clock::time_point at;
    std::string target;  // as sent
};

class TimedService {
public:
    // Listens on `port` before returning; throws std::runtime_error if it cannot.
    TimedService(std::uint16_t port, int page_rows);
    ~TimedService();
    TimedService(const TimedService&) = delete;
    TimedService& operator=(const TimedService&) = delete;

    // The page it serves for /his.php.
    const std::string& page() const { return page_; }
    // The first /his.php request line that arrived at or after `since`.
    std::optional<ArrivedLine> history_request_since(Clock::time_point since) const;
    // Waits for one, polling; nullopt after `deadline`.
    std::optional<ArrivedLine> wait_for_history_request(Clock::time_point since, Clock::time_point deadline) const;

private:
    void serve(std::uint16_t port);

    const std::string page_;
    mutable std::mutex lock_;
    std::vector<ArrivedLine> lines_;
    glib::MainContextPtr context_;
    glib::MainLoopPtr loop_;
    std::thread thread_;
};

}  // namespace ph::bench
