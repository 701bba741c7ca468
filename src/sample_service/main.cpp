// pricehistory-sample-service [--port N]: serves sample price pages on
// 127.0.0.1 until SIGINT or SIGTERM, printing each request line.
#include <glib-unix.h>

#include <charconv>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "sample_service/glib_handles.hpp"
#include "sample_service/sample_service.hpp"
#include "sample_service/service_host.hpp"

#ifndef PRICE_SERVICE_HOST
#error "PRICE_SERVICE_HOST must name the price-history service host"
#endif

namespace {

constexpr std::uint16_t default_port = ph::sample::port_of_host(PRICE_SERVICE_HOST);

void print_usage(std::ostream& out) {
    out << "usage: pricehistory-sample-service [--port N]\n"
           "  Serves sample price-history pages on http://127.0.0.1:N/his.php?hisurl=<address>\n"
           "  (default port " << default_port << "; 0 picks a free one). Stop it with Ctrl+C.\n";
}

std::optional<std::uint16_t> parse_port(std::string_view text) {
    unsigned port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

gboolean quit_loop(gpointer loop) {
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint16_t port = default_port;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::optional<std::string_view> value;
        if (argument == "--port" && i + 1 < argc)
            value = argv[++i];
        else if (argument.starts_with("--port="))
            value = argument.substr(7);
        else if (argument == "--help" || argument == "-h") {
            print_usage(std::cout);
            return EXIT_SUCCESS;
        }
        const auto parsed = value ? parse_port(*value) : std::nullopt;
        if (!parsed) {
            std::cerr << "pricehistory-sample-service: bad argument '" << argument;
            if (value && argument == "--port") std::cerr << ' ' << *value;
            std::cerr << "'\n";
            print_usage(std::cerr);
            return 2;
        }
        port = *parsed;
    }

    try {
        ph::sample::MainLoopPtr loop(g_main_loop_new(nullptr, FALSE));
        const guint on_interrupt = g_unix_signal_add(SIGINT, quit_loop, loop.get());
        const guint on_terminate = g_unix_signal_add(SIGTERM, quit_loop, loop.get());

        ph::sample::SampleService service(port, [](std::string_view line) { std::cout << line << std::endl; });
        // Printed once the signals are taken care of, so a caller may stop us from then on.
        std::cout << "pricehistory-sample-service: listening on http://127.0.0.1:" << service.port() << "/"
                  << std::endl;
        g_main_loop_run(loop.get());
        g_source_remove(on_interrupt);
        g_source_remove(on_terminate);
        std::cout << "pricehistory-sample-service: stopped" << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "pricehistory-sample-service: " << error.what() << std::endl;
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
