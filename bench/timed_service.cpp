#include "timed_service.hpp"

#include <libsoup/soup.h>

#include <future>
#include <stdexcept>

#include "sample_service/loopback_http_server.hpp"
#include "sample_service/request_line.hpp"
#include "test_http_server.hpp"

namespace ph::bench {
namespace {

constexpr std::string_view kHistoryPath = "/his.php";

void send_html(SoupServerMessage* message, unsigned status, const std::string& html) {
    soup_server_message_set_status(message, status, nullptr);
    soup_message_headers_replace(soup_server_message_get_response_headers(message), "Cache-Control", "no-store");
    soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY, html.data(), html.size());
}

}  // namespace

TimedService::TimedService(std::uint16_t port, int page_rows)
    : page_(test::colour_coded_rows_page(page_rows)),
      context_(g_main_context_new()),
      loop_(g_main_loop_new(context_.get(), FALSE)) {
    std::promise<void> listening;
    std::future<void> ready = listening.get_future();
    thread_ = std::thread([this, port, &listening] {
        g_main_context_push_thread_default(context_.get());
        try {
            sample::LoopbackHttpServer server(
                port,
                [this](SoupServerMessage* message, const sample::RequestLine& line) {
                    if (sample::split_target(line.target).path == kHistoryPath)
                        send_html(message, SOUP_STATUS_OK, page_);
                    else
                        send_html(message, SOUP_STATUS_NOT_FOUND, "<!DOCTYPE html><title>404</title>");
                },
                [this](const sample::RequestLine& line) {
                    const Clock::time_point now = Clock::now();
                    std::lock_guard hold(lock_);
                    lines_.push_back({now, line.target});
                });
            listening.set_value();
            g_main_loop_run(loop_.get());
        } catch (...) {
            listening.set_exception(std::current_exception());
        }
        g_main_context_pop_thread_default(context_.get());
    });
    try {
        ready.get();
    } catch (...) {
        thread_.join();
        throw;
    }
}

TimedService::~TimedService() {
    // Queued on the service's context, so it also stops a loop that has not begun running yet.
    g_main_context_invoke(
        context_.get(),
        +[](gpointer loop) {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        loop_.get());
    thread_.join();
}

std::optional<ArrivedLine> TimedService::history_request_since(Clock::time_point since) const {
    std::lock_guard hold(lock_);
    for (const ArrivedLine& line : lines_)
        if (line.at >= since && sample::split_target(line.target).path == kHistoryPath) return line;
    return std::nullopt;
}

std::optional<ArrivedLine> TimedService::wait_for_history_request(Clock::time_point since,
                                                                  Clock::time_point deadline) const {
    for (;;) {
        if (auto line = history_request_since(since)) return line;
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace ph::bench
