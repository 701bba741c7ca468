#include "fetch.hpp"
#include "test_http_server.hpp"

#include <arpa/inet.h>
#include <libsoup/soup.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <thread>

#include "sample_service/glib_handles.hpp"

namespace ph::test {
namespace {

using sample::GObjectPtr;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};


std::string blocking_exchange(std::uint16_t port, std::string_view request) {
    Fd socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval wait{20, 0};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (::connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return {};
    for (std::size_t sent = 0; sent < request.size();) {
        const auto n = ::send(socket.get(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return {};
        sent += static_cast<std::size_t>(n);
    }
    std::string response;
    char buffer[4096];
    for (ssize_t n; (n = ::recv(socket.get(), buffer, sizeof buffer, 0)) > 0;)
        response.append(buffer, static_cast<std::size_t>(n));
    return response;
}

}  // namespace

struct AsyncFetch::State {
    GObjectPtr<SoupSession> session;
    GObjectPtr<SoupMessage> message;
    bool done = false;
    sample::BytesPtr body;
};

AsyncFetch::AsyncFetch(const std::string& address) : state_(std::make_unique<State>()) {
    state_->session = sample::adopt(soup_session_new());
    state_->message = sample::adopt(soup_message_new(SOUP_METHOD_GET, address.c_str()));
    if (!state_->message) {
        state_->done = true;
        return;
    }
    soup_session_send_and_read_async(
        state_->session.get(), state_->message.get(), G_PRIORITY_DEFAULT, nullptr,
        +[](GObject* source, GAsyncResult* result, gpointer data) {
            auto& state = *static_cast<State*>(data);
            state.body.reset(soup_session_send_and_read_finish(SOUP_SESSION(source), result, nullptr));
            state.done = true;
        },
        state_.get());
}

AsyncFetch::~AsyncFetch() {
    if (state_->done) return;
    // The callback still points at our state: end the request and let it report.
    soup_session_abort(state_->session.get());
    iterate_until([&] { return state_->done; }, std::chrono::seconds(5));
}

bool AsyncFetch::done() const { return state_->done; }

Reply AsyncFetch::wait(std::chrono::milliseconds limit) {
    iterate_until([&] { return state_->done; }, limit);
    Reply reply;
    if (!state_->body) return reply;
    reply.status = soup_message_get_status(state_->message.get());
    if (const char* type =
            soup_message_headers_get_one(soup_message_get_response_headers(state_->message.get()), "Content-Type"))
        reply.content_type = type;
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(state_->body.get(), &size));
    reply.body.assign(data ? data : "", size);
    return reply;
}

Reply fetch(const std::string& address, std::chrono::milliseconds limit) { return AsyncFetch(address).wait(limit); }

void iterate_for(std::chrono::milliseconds duration) {
    iterate_until([] { return false; }, duration);
}

std::string exchange_raw(std::uint16_t port, std::string_view request, std::chrono::milliseconds limit) {
    std::atomic<bool> done = false;
    std::string response;
    sample::MainContextPtr context(g_main_context_ref_thread_default());
    std::thread client([&] {
        response = blocking_exchange(port, request);
        done = true;
        g_main_context_wakeup(context.get());
    });
    iterate_until([&] { return done.load(); }, limit);
    client.join();  // the socket's own time limit ends it at the latest
    return response;
}

std::string get_raw(std::uint16_t port, std::string_view raw_target) {
    const std::string request = "GET " + std::string(raw_target) + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                                std::to_string(port) + "\r\nConnection: close\r\n\r\n";
    return exchange_raw(port, request);
}

unsigned status_of(std::string_view raw_response) {
    const auto space = raw_response.find(' ');
    if (space == std::string_view::npos) return 0;
    unsigned status = 0;
    std::from_chars(raw_response.data() + space + 1, raw_response.data() + raw_response.size(), status);
    return status;
}

}  // namespace ph::test
