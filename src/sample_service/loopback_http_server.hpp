// An HTTP server on 127.0.0.1, on the thread-default main context, whose
// handler learns each request's line exactly as the client sent it.
//
// It accepts connections itself and hands them to a SoupServer through a
// request tap (see request_stream_scanner.hpp), because libsoup's own view of
// a target (soup_server_message_get_uri) is re-encoded by GUri. libsoup then
// closes each connection after one answer, so every answer says
// "Connection: close".
#pragma once

#include <libsoup/soup.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "sample_service/glib_handles.hpp"
#include "sample_service/request_line.hpp"

namespace ph::sample {

class LoopbackHttpServer {
public:
    // Answers one request: set its status and response, or pause it.
    using Handler = std::function<void(SoupServerMessage* message, const RequestLine& line)>;
    // Sees every request line as it arrives, in order, including those that
    // libsoup turns away before any handler runs.
    using LineObserver = std::function<void(const RequestLine& line)>;

    // Port 0 picks a free port. Throws std::runtime_error if it cannot listen.
    LoopbackHttpServer(std::uint16_t port, Handler handler, LineObserver observer = {});
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    std::uint16_t port() const { return port_; }

    struct Callbacks;  // shared with the connections, which may outlive the server

private:
    static gboolean on_incoming(GSocketService*, GSocketConnection* connection, GObject*, gpointer self);
    void accept(GSocketConnection* connection);

    std::shared_ptr<Callbacks> callbacks_;
    GObjectPtr<SoupServer> soup_;
    GObjectPtr<GSocketService> listener_;
    std::uint16_t port_ = 0;
    gulong incoming_id_ = 0;
    gulong started_id_ = 0;
};

}  // namespace ph::sample
