#include "sample_service/sample_service.hpp"

#include <libsoup/soup.h>

#include "sample_service/request_line.hpp"

namespace ph::sample {
namespace {

void send_page(SoupServerMessage* message, const ServiceAnswer& answer) {
    soup_server_message_set_status(message, answer.status, nullptr);
    soup_message_headers_replace(soup_server_message_get_response_headers(message), "Cache-Control", "no-store");
    soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY, answer.html.data(),
                                     answer.html.size());
}

}  // namespace

ServiceAnswer answer_for(std::string_view raw_target) {
    const RequestTarget target = split_target(raw_target);
    if (target.path == "/his.php" && target.query) {
        if (const auto hisurl = hisurl_of(*target.query); hisurl && !hisurl->empty())
            return {SOUP_STATUS_OK, history_page(*hisurl)};
    }
    return {SOUP_STATUS_NOT_FOUND, not_found_page(raw_target)};
}

SampleService::SampleService(std::uint16_t port, RequestObserver on_request)
    : on_request_(std::move(on_request)),
      server_(
          port, [](SoupServerMessage* message, const RequestLine& line) { send_page(message, answer_for(line.target)); },
          [this](const RequestLine& line) {
              if (on_request_) on_request_(line.text());
          }) {}

}  // namespace ph::sample
