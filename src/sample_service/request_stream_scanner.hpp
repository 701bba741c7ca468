// Follows the bytes of an HTTP/1.x request stream on their way to libsoup.
//
// libsoup hands its handlers the request target re-encoded by GUri (escapes of
// unreserved characters decoded, hex digits upper-cased, raw bytes escaped)
// and refuses a target holding a '%' that starts no escape. Browsers send
// such targets as the page asked for them, so the scanner reports every
// request line exactly as it arrives and, in the target only, turns a stray
// '%' into "%25" so that libsoup accepts the request. All other bytes pass
// unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace ph::sample {

class RequestStreamScanner {
public:
    using LineSeen = std::function<void(std::string_view request_line)>;

    enum class Outcome {
        converted,   // some input was read and written
        finished,    // the input has ended and everything was written
        need_input,  // nothing can be done until more input arrives
        need_space,  // nothing fits in the output
    };
    struct Step {
        std::size_t read = 0;
        std::size_t written = 0;
        Outcome outcome = Outcome::converted;
    };

    explicit RequestStreamScanner(LineSeen on_line);

    // Reads a prefix of `in` and writes what it becomes to `out`; a GConverter step.
    Step convert(std::string_view in, std::span<char> out, bool input_at_end);
    void reset();

private:
    enum class Part { request_line, header_lines, body, opaque };

    void follow(char byte);
    void end_of_header_line();
    bool in_target() const { return part_ == Part::request_line && spaces_ == 1; }

    LineSeen on_line_;
    Part part_ = Part::request_line;
    std::string line_;
    int spaces_ = 0;
    std::uint64_t body_left_ = 0;
    bool chunked_ = false;
    bool length_unknown_ = false;
};

}  // namespace ph::sample
