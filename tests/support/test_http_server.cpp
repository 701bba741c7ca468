#include "test_http_server.hpp"

#include <libsoup/soup.h>

#include <cstdio>

#include "sample_service/address_text.hpp"

namespace ph::test {

void iterate_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    sample::MainContextPtr context(g_main_context_ref_thread_default());
    bool timed_out = false;
    sample::SourcePtr timer(g_timeout_source_new(static_cast<guint>(limit.count())));
    g_source_set_callback(
        timer.get(),
        +[](gpointer flag) {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &timed_out, nullptr);
    g_source_attach(timer.get(), context.get());
    while (!done() && !timed_out) g_main_context_iteration(context.get(), TRUE);
}
namespace {

using sample::GObjectPtr;

constexpr std::string_view history_path = "/his.php";

void send_html(SoupServerMessage* message, unsigned status, const std::string& html) {
    soup_server_message_set_status(message, status, nullptr);
    soup_message_headers_replace(soup_server_message_get_response_headers(message), "Cache-Control", "no-store");
    soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY, html.data(), html.size());
}

std::string not_found() {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>404</title></head>"
           "<body><h1>404</h1></body></html>";
}

// A JavaScript string literal for an address, safe inside a <script> element.
std::string js_string(std::string_view text) {
    std::string literal = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' || byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            literal += escape;
        } else {
            literal += c;
        }
    }
    return literal + "\"";
}

constexpr const char* big_control_style =
    "html,body{margin:0;padding:0;background:#fff}"
    "#open{display:block;box-sizing:border-box;width:960px;height:200px;margin:0;border:0;"
    "background:#2559a8;color:#fff;font:24px sans-serif;text-align:center;line-height:200px;cursor:pointer}";

}  // namespace

struct TestHttpServer::Held {
    GObjectPtr<SoupServerMessage> message;
    sample::SourcePtr timer;  // for a late answer; none when held until released
    gulong finished_id = 0;
    gulong disconnected_id = 0;
};

TestHttpServer::TestHttpServer(std::uint16_t port)
    : history_page_(colour_coded_rows_page(1200)),
      server_(
          port, [this](SoupServerMessage* message, const sample::RequestLine& line) { answer(message, line); },
          [this](const sample::RequestLine& line) { raw_targets_.push_back(line.target); }) {}

TestHttpServer::~TestHttpServer() {
    // Held requests get an answer, so no client waits on a server that is gone.
    while (!held_.empty()) {
        auto& held = *held_.begin()->second;
        send_html(held.message.get(), SOUP_STATUS_SERVICE_UNAVAILABLE, not_found());
        finish_held(held_.begin()->first, true);
    }
}

std::uint16_t TestHttpServer::port() const { return server_.port(); }

std::string TestHttpServer::address(std::string_view raw_target) const {
    return "http://127.0.0.1:" + std::to_string(port()) + std::string(raw_target);
}

bool TestHttpServer::wait_for_requests(std::size_t count, std::chrono::milliseconds limit) {
    iterate_until([&] { return raw_targets_.size() >= count; }, limit);
    return raw_targets_.size() >= count;
}

void TestHttpServer::answer_at_once() { mode_ = Mode::at_once; }

void TestHttpServer::answer_after(std::chrono::milliseconds delay) {
    mode_ = Mode::late;
    delay_ = delay;
}

void TestHttpServer::answer_never() { mode_ = Mode::never; }

void TestHttpServer::release_held() {
    while (!held_.empty()) {
        send_html(held_.begin()->second->message.get(), SOUP_STATUS_OK, history_page_);
        finish_held(held_.begin()->first, true);
    }
}

void TestHttpServer::answer(SoupServerMessage* message, const sample::RequestLine& line) {
    const auto target = sample::split_target(line.target);
    if (target.path == history_path) {
        if (mode_ == Mode::at_once)
            send_html(message, SOUP_STATUS_OK, history_page_);
        else
            hold(message, mode_ == Mode::late ? delay_ : std::chrono::milliseconds(-1));
        return;
    }
    if (const auto page = pages_.find(target.path); page != pages_.end())
        send_html(message, SOUP_STATUS_OK, page->second);
    else
        send_html(message, SOUP_STATUS_NOT_FOUND, not_found());
}

void TestHttpServer::hold(SoupServerMessage* message, std::chrono::milliseconds delay) {
    const std::uint64_t id = next_held_id_++;
    auto held = std::make_unique<Held>();
    held->message = sample::share(message);
    soup_server_message_pause(message);

    // Callbacks find the request by its number, so a late one after its end does nothing.
    struct Lookup {
        TestHttpServer* server;
        std::uint64_t id;
    };
    auto forget = +[](SoupServerMessage*, gpointer data) {
        const auto& lookup = *static_cast<Lookup*>(data);
        lookup.server->finish_held(lookup.id, false);
    };
    auto make_lookup = [&] { return std::make_unique<Lookup>(Lookup{this, id}).release(); };
    auto free_lookup = +[](gpointer data, GClosure*) { std::unique_ptr<Lookup> owned(static_cast<Lookup*>(data)); };
    held->finished_id = g_signal_connect_data(message, "finished", G_CALLBACK(forget), make_lookup(), free_lookup,
                                              GConnectFlags(0));
    held->disconnected_id = g_signal_connect_data(message, "disconnected", G_CALLBACK(forget), make_lookup(),
                                                  free_lookup, GConnectFlags(0));

    if (delay.count() >= 0) {
        held->timer.reset(g_timeout_source_new(static_cast<guint>(delay.count())));
        g_source_set_callback(
            held->timer.get(),
            +[](gpointer data) {
                const auto& lookup = *static_cast<Lookup*>(data);
                auto& self = *lookup.server;
                if (auto found = self.held_.find(lookup.id); found != self.held_.end()) {
                    send_html(found->second->message.get(), SOUP_STATUS_OK, self.history_page_);
                    self.finish_held(lookup.id, true);
                }
                return G_SOURCE_REMOVE;
            },
            make_lookup(), +[](gpointer data) { std::unique_ptr<Lookup> owned(static_cast<Lookup*>(data)); });
        sample::MainContextPtr context(g_main_context_ref_thread_default());
        g_source_attach(held->timer.get(), context.get());
    }
    held_.emplace(id, std::move(held));
}

void TestHttpServer::finish_held(std::uint64_t id, bool answer) {
    const auto found = held_.find(id);
    if (found == held_.end()) return;
    std::unique_ptr<Held> held = std::move(found->second);
    held_.erase(found);
    g_signal_handler_disconnect(held->message.get(), held->finished_id);
    g_signal_handler_disconnect(held->message.get(), held->disconnected_id);
    if (answer) soup_server_message_unpause(held->message.get());
    // The timer may be the source running this very call; destroying it then is allowed.
}

std::string colour_coded_rows_page(int rows) {
    const std::string height = std::to_string(rows);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>rows</title>\n"
           "<style>html,body{margin:0;padding:0;background:#fff}"
           "canvas{display:block;width:960px;height:" + height + "px}</style></head>\n"
           "<body><canvas id=\"rows\" width=\"960\" height=\"" + height + "\"></canvas>\n"
           "<script>\n"
           "const canvas = document.getElementById('rows');\n"
           "const context = canvas.getContext('2d', {alpha: false});\n"
           "context.imageSmoothingEnabled = false;\n"
           "for (let y = 0; y < " + height + "; ++y) {\n"
           "  context.fillStyle = 'rgb(' + (y & 255) + ',' + ((y >> 8) & 255) + ',90)';\n"
           "  context.fillRect(0, y, 960, 1);\n"
           "}\n"
           "</script></body></html>\n";
}

int row_from_colour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (b != 0x5A) return -1;
    return r | (g << 8);
}

std::string blank_target_link_page(std::string_view address) {
    return std::string("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>link</title><style>") +
           big_control_style + "</style></head>\n<body><a id=\"open\" target=\"_blank\" href=\"" +
           sample::html_escape(address) + "\">open in a new window</a></body></html>\n";
}

std::string window_open_button_page(std::string_view address) {
    return std::string("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>button</title><style>") +
           big_control_style +
           "</style></head>\n<body><button id=\"open\" type=\"button\">open a window</button>\n<script>\n"
           "document.getElementById('open').addEventListener('click', () => window.open(" +
           js_string(address) + "));\n</script></body></html>\n";
}

}  // namespace ph::test
