#include "sample_service/loopback_http_server.hpp"

#include <stdexcept>
#include <string>
#include <vector>

#include "sample_service/request_tap.hpp"

namespace ph::sample {

struct LoopbackHttpServer::Callbacks {
    Handler handler;
    LineObserver observer;
};

namespace {

// What one connection has sent so far, hung on its remote address, which
// libsoup gives back for each of the connection's messages.
struct ConnectionLines {
    std::vector<RequestLine> lines;  // in the order they arrived
    std::size_t started = 0;         // messages libsoup has begun on this connection
};
using SharedLines = std::shared_ptr<ConnectionLines>;

constexpr const char* lines_key = "ph-connection-lines";
constexpr const char* index_key = "ph-request-index";

ConnectionLines* lines_of(SoupServerMessage* message) {
    GSocketAddress* remote = soup_server_message_get_remote_address(message);
    if (!remote) return nullptr;
    auto* shared = attached<SharedLines>(remote, lines_key);
    return shared ? shared->get() : nullptr;
}

// Requests on one connection come one after the other, so the n-th message
// libsoup starts there is the n-th request line that arrived there.
void note_request_started(SoupServer*, SoupServerMessage* message, gpointer) {
    if (auto* lines = lines_of(message))
        g_object_set_data(G_OBJECT(message), index_key, GSIZE_TO_POINTER(++lines->started));
}

RequestLine line_of(SoupServerMessage* message) {
    if (auto* lines = lines_of(message)) {
        const auto index = GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(message), index_key));
        if (index >= 1 && index <= lines->lines.size()) return lines->lines[index - 1];
    }
    // Not seen by the tap (cannot happen for our own connections): libsoup's view.
    GUri* uri = soup_server_message_get_uri(message);
    std::string target = g_uri_get_path(uri);
    if (const char* query = g_uri_get_query(uri)) target += std::string("?") + query;
    const bool old = soup_server_message_get_http_version(message) == SOUP_HTTP_1_0;
    return {soup_server_message_get_method(message), target, old ? "HTTP/1.0" : "HTTP/1.1"};
}

using SharedCallbacks = std::shared_ptr<LoopbackHttpServer::Callbacks>;

void answer(SoupServer*, SoupServerMessage* message, const char*, GHashTable*, gpointer user_data) {
    const auto& callbacks = **static_cast<SharedCallbacks*>(user_data);
    if (!callbacks.handler) {  // the server object is gone; libsoup finishes late requests
        soup_server_message_set_status(message, SOUP_STATUS_SERVICE_UNAVAILABLE, nullptr);
        return;
    }
    // libsoup keeps a connection open only for servers that listen through it,
    // and ours accepts its own: say so, rather than let clients find out.
    soup_message_headers_replace(soup_server_message_get_response_headers(message), "Connection", "close");
    try {
        callbacks.handler(message, line_of(message));
    } catch (const std::exception& error) {
        g_warning("answering a request failed: %s", error.what());
        soup_server_message_set_status(message, SOUP_STATUS_INTERNAL_SERVER_ERROR, nullptr);
    }
}

}  // namespace

gboolean LoopbackHttpServer::on_incoming(GSocketService*, GSocketConnection* connection, GObject*,
                                         gpointer self) {
    static_cast<LoopbackHttpServer*>(self)->accept(connection);
    return TRUE;
}

void LoopbackHttpServer::accept(GSocketConnection* connection) {
    ErrorSlot local_error, remote_error;
    auto local = adopt(g_socket_connection_get_local_address(connection, local_error.out()));
    auto remote = adopt(g_socket_connection_get_remote_address(connection, remote_error.out()));
    if (!local || !remote) return;  // gone before we got to it

    auto lines = std::make_shared<ConnectionLines>();
    std::weak_ptr<Callbacks> callbacks = callbacks_;
    auto tap = make_request_tap([lines, callbacks](std::string_view text) {
        auto line = RequestLine::parse(text);
        if (!line) return;  // libsoup answers it 400 itself
        lines->lines.push_back(*line);
        if (auto alive = callbacks.lock(); alive && alive->observer) alive->observer(*line);
    });
    attach(remote.get(), lines_key, std::make_unique<SharedLines>(lines));

    GIOStream* socket_stream = G_IO_STREAM(connection);
    auto input = adopt(g_converter_input_stream_new(g_io_stream_get_input_stream(socket_stream), tap.get()));
    auto through_tap =
        adopt(g_simple_io_stream_new(input.get(), g_io_stream_get_output_stream(socket_stream)));
    // A socket connection again, so that closing it (as libsoup does) closes the socket.
    auto wrapped = adopt(g_tcp_wrapper_connection_new(through_tap.get(), g_socket_connection_get_socket(connection)));
    attach(wrapped.get(), "ph-accepted-connection", std::make_unique<GObjectPtr<GSocketConnection>>(share(connection)));

    ErrorSlot error;
    if (!soup_server_accept_iostream(soup_.get(), G_IO_STREAM(wrapped.get()), local.get(), remote.get(), error.out()))
        g_warning("could not take a connection: %s", error.message().c_str());
}

LoopbackHttpServer::LoopbackHttpServer(std::uint16_t port, Handler handler, LineObserver observer)
    : callbacks_(std::make_shared<Callbacks>(Callbacks{std::move(handler), std::move(observer)})),
      soup_(adopt(soup_server_new("server-header", "pricehistory-sample-service ", nullptr))),
      listener_(adopt(g_socket_service_new())) {
    auto wanted = adopt(g_inet_socket_address_new_from_string("127.0.0.1", port));
    GSocketAddress* effective = nullptr;
    ErrorSlot error;
    if (!g_socket_listener_add_address(G_SOCKET_LISTENER(listener_.get()), wanted.get(), G_SOCKET_TYPE_STREAM,
                                       G_SOCKET_PROTOCOL_TCP, nullptr, &effective, error.out()))
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + error.message());
    auto bound = adopt(effective);
    port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound.get()));

    auto handler_data = std::make_unique<SharedCallbacks>(callbacks_);
    soup_server_add_handler(soup_.get(), nullptr, answer, handler_data.release(),
                            +[](gpointer data) { std::unique_ptr<SharedCallbacks> owned(static_cast<SharedCallbacks*>(data)); });
    started_id_ = g_signal_connect(soup_.get(), "request-started", G_CALLBACK(note_request_started), nullptr);
    incoming_id_ = g_signal_connect(listener_.get(), "incoming", G_CALLBACK(on_incoming), this);
    g_socket_service_start(listener_.get());
}

LoopbackHttpServer::~LoopbackHttpServer() {
    g_signal_handler_disconnect(listener_.get(), incoming_id_);
    g_socket_service_stop(listener_.get());
    g_socket_listener_close(G_SOCKET_LISTENER(listener_.get()));
    g_signal_handler_disconnect(soup_.get(), started_id_);
    // Whoever still holds the SoupServer or a connection no longer reaches our owner.
    callbacks_->handler = nullptr;
    callbacks_->observer = nullptr;
    soup_server_disconnect(soup_.get());
}

}  // namespace ph::sample
