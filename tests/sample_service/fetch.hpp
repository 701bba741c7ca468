// Asking a server of ours for a page while this thread's main context runs it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ph::test {

struct Reply {
    unsigned status = 0;  // 0 when there was no HTTP answer at all
    std::string content_type;
    std::string body;
};

// A fetch with a SoupSession on the thread-default main context, started at
// once and finished while that context runs. libsoup re-encodes the address
// through GUri before sending it.
class AsyncFetch {
public:
    explicit AsyncFetch(const std::string& address);
    ~AsyncFetch();
    AsyncFetch(const AsyncFetch&) = delete;
    AsyncFetch& operator=(const AsyncFetch&) = delete;

    bool done() const;
    // Iterates the context until done or `limit` has passed.
    Reply wait(std::chrono::milliseconds limit = std::chrono::seconds(20));

private:
    struct State;
    std::unique_ptr<State> state_;
};

Reply fetch(const std::string& address, std::chrono::milliseconds limit = std::chrono::seconds(20));

// Runs the thread-default main context for `duration`.
void iterate_for(std::chrono::milliseconds duration);

// Sends "GET <raw_target> HTTP/1.1" byte for byte, from a helper thread, while
// this thread iterates its main context; gives back the raw response.
std::string exchange_raw(std::uint16_t port, std::string_view request,
                         std::chrono::milliseconds limit = std::chrono::seconds(20));
std::string get_raw(std::uint16_t port, std::string_view raw_target);

// The status code of a raw response ("HTTP/1.1 404 Not Found" gives 404).
unsigned status_of(std::string_view raw_response);

}  // namespace ph::test
