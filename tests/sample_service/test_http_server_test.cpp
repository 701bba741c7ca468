// The user-interface tests' HTTP server: what it records and how it answers.
#include "test_http_server.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fetch.hpp"

namespace ph::test {
namespace {

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

TEST(TestHttpServerTest, RecordsRawTargetsExactlyAndInOrder) {
    TestHttpServer server;
    const std::vector<std::string> targets{
        "/his.php?hisurl=https://a.example/p?id=1&y=%7e%e4%b8%AD",
        "/his.php?hisurl=50%&x=%zz",
        "/his.php?hisurl=\xE4\xB8\xAD",  // raw UTF-8, as a careless client sends it
        "/elsewhere?a=%41",
    };
    for (const auto& target : targets) EXPECT_NE(status_of(get_raw(server.port(), target)), 0u) << target;
    EXPECT_EQ(server.raw_targets(), targets);
    server.clear_raw_targets();
    EXPECT_TRUE(server.raw_targets().empty());
}

TEST(TestHttpServerTest, AnswersTheHistoryPageTheChosenPagesAndNotFound) {
    TestHttpServer server;
    EXPECT_EQ(fetch(server.address("/his.php?hisurl=x")).body, colour_coded_rows_page(1200));
    server.set_history_page("<p>chosen</p>");
    server.set_page("/new.html", "<p>new</p>");
    const auto history = fetch(server.address("/his.php?anything"));
    EXPECT_EQ(history.status, 200u);
    EXPECT_EQ(history.content_type, "text/html; charset=utf-8");
    EXPECT_EQ(history.body, "<p>chosen</p>");
    EXPECT_EQ(fetch(server.address("/new.html?q=1")).body, "<p>new</p>");
    EXPECT_EQ(fetch(server.address("/other")).status, 404u);
    EXPECT_EQ(fetch(server.address("/his.phpx")).status, 404u);
}

TEST(TestHttpServerTest, AnswersLateWhenAsked) {
    TestHttpServer server;
    server.set_history_page("late");
    server.answer_after(std::chrono::milliseconds(200));
    AsyncFetch pending(server.address("/his.php?hisurl=x"));
    ASSERT_TRUE(server.wait_for_requests(1));
    EXPECT_EQ(server.held_count(), 1u);
    EXPECT_FALSE(pending.done());
    const auto reply = pending.wait();
    EXPECT_EQ(reply.status, 200u);
    EXPECT_EQ(reply.body, "late");
    EXPECT_EQ(server.held_count(), 0u);
}

TEST(TestHttpServerTest, HoldsRequestsUntilReleased) {
    TestHttpServer server;
    server.set_history_page("released");
    server.answer_never();
    AsyncFetch pending(server.address("/his.php?hisurl=x"));
    ASSERT_TRUE(server.wait_for_requests(1));
    iterate_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(pending.done());
    EXPECT_EQ(server.held_count(), 1u);
    server.release_held();
    const auto reply = pending.wait();
    EXPECT_EQ(reply.status, 200u);
    EXPECT_EQ(reply.body, "released");
    // Other pages are never held.
    EXPECT_EQ(fetch(server.address("/other")).status, 404u);
}

// A paused request does not notice its client leaving; releasing it later must
// still be safe, and the server must still answer others.
TEST(TestHttpServerTest, ReleasesARequestWhoseClientLeft) {
    TestHttpServer server;
    server.answer_never();
    {
        AsyncFetch pending(server.address("/his.php?hisurl=x"));
        ASSERT_TRUE(server.wait_for_requests(1));
        ASSERT_EQ(server.held_count(), 1u);
    }  // aborted here
    iterate_for(std::chrono::milliseconds(100));
    server.release_held();
    iterate_for(std::chrono::milliseconds(100));
    EXPECT_EQ(server.held_count(), 0u);
    server.answer_at_once();
    EXPECT_EQ(fetch(server.address("/his.php?hisurl=y")).status, 200u);
}

TEST(TestHttpServerTest, HeldRequestsAreAnsweredWhenTheServerGoes) {
    std::optional<TestHttpServer> server(std::in_place);
    server->answer_never();
    AsyncFetch pending(server->address("/his.php?hisurl=x"));
    ASSERT_TRUE(server->wait_for_requests(1));
    server.reset();
    const auto reply = pending.wait();
    EXPECT_TRUE(pending.done());
    EXPECT_NE(reply.status, 200u);
}

TEST(ColourCodedRowsTest, EveryRowColourRoundTrips) {
    for (int row = 0; row < 65536; ++row) {
        const auto r = static_cast<std::uint8_t>(row & 0xFF);
        const auto g = static_cast<std::uint8_t>((row >> 8) & 0xFF);
        ASSERT_EQ(row_from_colour(r, g, 0x5A), row);
    }
    EXPECT_EQ(row_from_colour(255, 255, 255), -1);  // the page's own background
    EXPECT_EQ(row_from_colour(0, 0, 0), -1);
    EXPECT_EQ(row_from_colour(10, 0, 0x5B), -1);
}

TEST(ColourCodedRowsTest, PageDrawsEachRowOnACanvas) {
    const auto page = colour_coded_rows_page(900);
    EXPECT_TRUE(contains(page, "width=\"960\" height=\"900\""));
    EXPECT_TRUE(contains(page, "fillRect(0, y, 960, 1)"));
    EXPECT_TRUE(contains(page, "y < 900"));
    EXPECT_FALSE(contains(page, "Gradient"));
}

TEST(NewWindowPagesTest, CarryTheAddressSafely) {
    const std::string address = "http://127.0.0.1:8936/his.php?hisurl=a&b=\"</script>";
    const auto link = blank_target_link_page(address);
    EXPECT_TRUE(contains(link, "target=\"_blank\""));
    EXPECT_TRUE(contains(link, "href=\"http://127.0.0.1:8936/his.php?hisurl=a&amp;b=&quot;&lt;/script&gt;\""));
    const auto button = window_open_button_page(address);
    EXPECT_TRUE(contains(button, "window.open("));
    EXPECT_EQ(button.find("</script>"), button.rfind("</script>")) << "the address closed the script";
}

}  // namespace
}  // namespace ph::test
