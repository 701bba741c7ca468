// A small HTTP server for the tests, on 127.0.0.1 and the thread-default main
// context: it records every request's target exactly as sent and answers
// /his.php with a page the test chose, at once, late or never.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sample_service/glib_handles.hpp"
#include "sample_service/loopback_http_server.hpp"

namespace ph::test {

// Runs the thread-default main context until `done` holds or `limit` passes.
void iterate_until(const std::function<bool()>& done, std::chrono::milliseconds limit);

class TestHttpServer {
public:
    // Port 0 picks a free port. Throws std::runtime_error if it cannot listen.
    explicit TestHttpServer(std::uint16_t port = 0);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    std::uint16_t port() const;
    // "http://127.0.0.1:<port>" followed by `raw_target`.
    std::string address(std::string_view raw_target) const;

    // Every request's target (path and query, undecoded), in arrival order;
    // requests that libsoup refuses itself are recorded too.
    const std::vector<std::string>& raw_targets() const { return raw_targets_; }
    void clear_raw_targets() { raw_targets_.clear(); }
    // Iterates the thread-default main context until `count` requests have
    // arrived or `limit` has passed; says whether they arrived.
    bool wait_for_requests(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10));

    // The page for /his.php (whatever its query); by default colour_coded_rows_page(1200).
    void set_history_page(std::string html) { history_page_ = std::move(html); }
    // Another page, for a raw path exactly; every other path answers 404.
    void set_page(std::string raw_path, std::string html) { pages_[std::move(raw_path)] = std::move(html); }

    // How /his.php is answered from now on; other pages always come at once.
    void answer_at_once();
    void answer_after(std::chrono::milliseconds delay);
    void answer_never();  // holds each request, paused, until release_held()
    std::size_t held_count() const { return held_.size(); }
    void release_held();  // answers the held requests with the history page now

private:
    struct Held;
    void answer(SoupServerMessage* message, const sample::RequestLine& line);
    void hold(SoupServerMessage* message, std::chrono::milliseconds delay);
    void finish_held(std::uint64_t id, bool answer);

    enum class Mode { at_once, late, never };
    Mode mode_ = Mode::at_once;
    std::chrono::milliseconds delay_{0};
    std::string history_page_;
    std::map<std::string, std::string, std::less<>> pages_;
    std::vector<std::string> raw_targets_;
    std::map<std::uint64_t, std::unique_ptr<Held>> held_;
    std::uint64_t next_held_id_ = 1;
    sample::LoopbackHttpServer server_;  // last: its callbacks use the members above
};

// A page `rows` pixels tall and 960 wide whose pixel row y is filled with
// rgb(y & 0xFF, (y >> 8) & 0xFF, 0x5A), one fillRect per row on a canvas
// (no gradients, no smoothing), so a screenshot tells which rows it shows.
std::string colour_coded_rows_page(int rows);
// The row that colour stands for, or -1 if it stands for none.
int row_from_colour(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A page whose link (id "open", covering the page's top 200 rows) opens
// `address` with target=_blank.
std::string blank_target_link_page(std::string_view address);
// A page whose button (id "open", covering the top 200 rows) calls
// window.open(`address`).
std::string window_open_button_page(std::string_view address);

}  // namespace ph::test
