// The scanner must hand libsoup the stream unchanged but for stray '%' in a
// target, and report each request line exactly, however the bytes are cut.
#include "sample_service/request_stream_scanner.hpp"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sample_service/glib_handles.hpp"
#include "sample_service/request_tap.hpp"

namespace ph::sample {
namespace {

struct Scanned {
    std::string output;
    std::vector<std::string> lines;
};

// Drives the scanner as GConverterInputStream does: input arrives `chunk`
// bytes at a time and the output has room for `room` bytes per step.
Scanned scan(std::string_view input, std::size_t chunk, std::size_t room) {
    Scanned scanned;
    RequestStreamScanner scanner([&](std::string_view line) { scanned.lines.emplace_back(line); });
    std::string pending;
    std::size_t arrived = 0;
    auto arrive = [&] {
        const auto n = std::min(chunk, input.size() - arrived);
        pending.append(input.substr(arrived, n));
        arrived += n;
    };
    std::vector<char> out(room);
    for (int guard = 0; guard < 1'000'000; ++guard) {
        if (pending.empty() && arrived < input.size()) arrive();
        const auto step = scanner.convert(pending, out, arrived == input.size());
        scanned.output.append(out.data(), step.written);
        pending.erase(0, step.read);
        using Outcome = RequestStreamScanner::Outcome;
        if (step.outcome == Outcome::finished) return scanned;
        if (step.outcome == Outcome::need_input) {
            EXPECT_LT(arrived, input.size()) << "asked for input after the end";
            if (arrived == input.size()) return scanned;
            arrive();
        }
        if (step.outcome == Outcome::need_space) {
            ADD_FAILURE() << "no progress with " << room << " bytes of room";
            return scanned;
        }
    }
    ADD_FAILURE() << "the scanner never finished";
    return scanned;
}

struct StreamCase {
    const char* name;
    std::string input;
    std::string output;  // what libsoup gets
    std::vector<std::string> lines;
};

const std::vector<StreamCase>& stream_cases() {
    static const std::vector<StreamCase> cases{
        {"escapes_pass_unchanged",
         "GET /his.php?hisurl=https://a.example/p?id=1&y=%7e%e4%B8%ad%20 HTTP/1.1\r\nHost: h\r\n\r\n",
         "GET /his.php?hisurl=https://a.example/p?id=1&y=%7e%e4%B8%ad%20 HTTP/1.1\r\nHost: h\r\n\r\n",
         {"GET /his.php?hisurl=https://a.example/p?id=1&y=%7e%e4%B8%ad%20 HTTP/1.1"}},
        {"stray_percent_in_target_is_escaped",
         "GET /a?b=50%&c=%zz%4 HTTP/1.1\r\n\r\n",
         "GET /a?b=50%25&c=%25zz%254 HTTP/1.1\r\n\r\n",
         {"GET /a?b=50%&c=%zz%4 HTTP/1.1"}},
        {"percent_at_the_very_end_of_a_target",
         "GET /a?b=% HTTP/1.1\r\n\r\n", "GET /a?b=%25 HTTP/1.1\r\n\r\n", {"GET /a?b=% HTTP/1.1"}},
        {"percent_outside_a_target_is_left_alone",
         "GET /a HTTP/1.1\r\nReferer: http://h/?q=100%\r\n\r\n",
         "GET /a HTTP/1.1\r\nReferer: http://h/?q=100%\r\n\r\n", {"GET /a HTTP/1.1"}},
        {"keep_alive_requests_with_a_body_between",
         "POST /x HTTP/1.1\r\ncontent-length: 7\r\n\r\nGET /%q\r\nGET /z?%5 HTTP/1.1\r\nHost: h\r\n\r\n",
         "POST /x HTTP/1.1\r\ncontent-length: 7\r\n\r\nGET /%q\r\nGET /z?%255 HTTP/1.1\r\nHost: h\r\n\r\n",
         {"POST /x HTTP/1.1", "GET /z?%5 HTTP/1.1"}},
        {"blank_lines_before_a_request",
         "\r\n\r\nGET /b HTTP/1.0\n\n", "\r\n\r\nGET /b HTTP/1.0\n\n", {"GET /b HTTP/1.0"}},
        {"a_chunked_body_ends_the_following",
         "POST /c HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nGET /\r\n0\r\n\r\nGET /d% HTTP/1.1\r\n\r\n",
         "POST /c HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nGET /\r\n0\r\n\r\nGET /d% HTTP/1.1\r\n\r\n",
         {"POST /c HTTP/1.1"}},
    };
    return cases;
}

class RequestStreamTest : public testing::TestWithParam<StreamCase> {};

TEST_P(RequestStreamTest, AllAtOnce) {
    const auto scanned = scan(GetParam().input, 1 << 16, 1 << 16);
    EXPECT_EQ(scanned.output, GetParam().output);
    EXPECT_EQ(scanned.lines, GetParam().lines);
}

TEST_P(RequestStreamTest, CutIntoPiecesAndSmallRoom) {
    for (const std::size_t chunk : {1u, 2u, 3u, 7u}) {
        for (const std::size_t room : {3u, 4u, 5u, 64u}) {
            SCOPED_TRACE(testing::Message() << "chunk " << chunk << ", room " << room);
            const auto scanned = scan(GetParam().input, chunk, room);
            EXPECT_EQ(scanned.output, GetParam().output);
            EXPECT_EQ(scanned.lines, GetParam().lines);
        }
    }
}

// Through a real GConverterInputStream, as libsoup reads it.
TEST_P(RequestStreamTest, ThroughAConverterStream) {
    std::vector<std::string> lines;
    auto tap = make_request_tap([&](std::string_view line) { lines.emplace_back(line); });
    const std::string& input = GetParam().input;
    auto source = adopt(g_memory_input_stream_new_from_data(input.data(), static_cast<gssize>(input.size()), nullptr));
    auto stream = adopt(g_converter_input_stream_new(source.get(), tap.get()));
    std::string output;
    char buffer[5];
    ErrorSlot error;
    for (gssize n; (n = g_input_stream_read(stream.get(), buffer, sizeof buffer, nullptr, error.out())) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    EXPECT_FALSE(error) << error.message();
    EXPECT_EQ(output, GetParam().output);
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Streams, RequestStreamTest, testing::ValuesIn(stream_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ph::sample
