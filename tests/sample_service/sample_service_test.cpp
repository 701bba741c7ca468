// The sample service in this process, asked over real loopback connections
// while the test's main context runs it.
#include "sample_service/sample_service.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "fetch.hpp"

namespace ph::sample {
namespace {

using test::fetch;
using test::get_raw;
using test::status_of;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string body_of(const std::string& raw_response) {
    const auto end_of_head = raw_response.find("\r\n\r\n");
    return end_of_head == std::string::npos ? std::string() : raw_response.substr(end_of_head + 4);
}

class SampleServiceTest : public testing::Test {
protected:
    std::string address(std::string_view raw_target) const {
        return "http://127.0.0.1:" + std::to_string(service.port()) + std::string(raw_target);
    }

    std::vector<std::string> lines;
    SampleService service{0, [this](std::string_view line) { lines.emplace_back(line); }};
};

TEST_F(SampleServiceTest, AnswersAHistoryPageAndReportsTheRequestLine) {
    ASSERT_NE(service.port(), 0);
    const auto reply = fetch(address("/his.php?hisurl=https://shop.example.com/item.htm?id=12&y=2"));
    EXPECT_EQ(reply.status, 200u);
    EXPECT_EQ(reply.content_type, "text/html; charset=utf-8");
    EXPECT_TRUE(contains(reply.body, "示例数据"));
    EXPECT_TRUE(contains(reply.body, "https://shop.example.com/item.htm?id=12&amp;y=2"));
    EXPECT_EQ(reply.body, history_page("https://shop.example.com/item.htm?id=12&y=2"));
    EXPECT_EQ(lines, std::vector<std::string>{"GET /his.php?hisurl=https://shop.example.com/item.htm?id=12&y=2 HTTP/1.1"});
}

struct AddressCase {
    const char* name;
    std::string raw_hisurl;  // as a browser sends it
    std::string shown;       // as the page must show it, escaped for HTML
};

class SampleServiceAddressTest : public SampleServiceTest, public testing::WithParamInterface<AddressCase> {};

TEST_P(SampleServiceAddressTest, ShowsTheAddressDecoded) {
    const auto& c = GetParam();
    const auto reply = fetch(address("/his.php?hisurl=" + c.raw_hisurl));
    ASSERT_EQ(reply.status, 200u);
    EXPECT_TRUE(contains(reply.body, c.shown)) << c.shown;
    EXPECT_EQ(reply.body, history_page(c.raw_hisurl));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "GET /his.php?hisurl=" + c.raw_hisurl + " HTTP/1.1");
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, SampleServiceAddressTest,
    testing::Values(
        AddressCase{"ampersands", "https://a.example/p?id=1&y=2&z=3", "https://a.example/p?id=1&amp;y=2&amp;z=3"},
        AddressCase{"chinese", "https://a.example/s?q=%E4%B8%AD%E6%96%87%E5%95%86%E5%93%81",
                    "https://a.example/s?q=中文商品"},
        AddressCase{"emoji", "https://a.example/s?q=%F0%9F%8E%81gift", "https://a.example/s?q=🎁gift"},
        AddressCase{"space", "https://a.example/s?q=red%20shoes", "https://a.example/s?q=red shoes"},
        AddressCase{"markup", "https://a.example/s?q=%3Cscript%3Ealert(1)%3C/script%3E",
                    "https://a.example/s?q=&lt;script&gt;alert(1)&lt;/script&gt;"}),
    [](const auto& info) { return std::string(info.param.name); });

// libsoup's own view of a target is re-encoded; the service must use the bytes as sent.
TEST_F(SampleServiceTest, UsesTheTargetExactlyAsSent) {
    const std::string raw_hisurl = "https://a.example/p?id=%7e1&q=%e4%b8%ad&off=50%&x=%zz";
    const auto response = get_raw(service.port(), "/his.php?hisurl=" + raw_hisurl);
    EXPECT_EQ(status_of(response), 200u);
    EXPECT_EQ(body_of(response), history_page(raw_hisurl));
    EXPECT_TRUE(contains(response, "https://a.example/p?id=~1&amp;q=中&amp;off=50%&amp;x=%zz"));
    EXPECT_EQ(lines, std::vector<std::string>{"GET /his.php?hisurl=" + raw_hisurl + " HTTP/1.1"});
}

// libsoup keeps no connection open for a server that accepts its own
// connections: each answer must say so, and the connection must end.
TEST_F(SampleServiceTest, ClosesEachConnectionAfterOneAnswer) {
    const std::string host = "Host: 127.0.0.1:" + std::to_string(service.port()) + "\r\n";
    const auto response = test::exchange_raw(
        service.port(), "GET /his.php?hisurl=first HTTP/1.1\r\n" + host + "\r\nGET /second HTTP/1.1\r\n" + host + "\r\n");
    EXPECT_EQ(status_of(response), 200u);
    EXPECT_TRUE(contains(response, "\r\nConnection: close\r\n")) << response.substr(0, 300);
    EXPECT_TRUE(contains(response, "hisurl=first</code>"));
    EXPECT_EQ(response.find("HTTP/1.1", 1), std::string::npos) << "a second answer on the same connection";
}

TEST_F(SampleServiceTest, SameAddressSamePageOtherAddressOtherPage) {
    const auto once = fetch(address("/his.php?hisurl=https://a.example/item/7"));
    const auto again = fetch(address("/his.php?hisurl=https://a.example/item/7"));
    const auto other = fetch(address("/his.php?hisurl=https://a.example/item/8"));
    ASSERT_EQ(once.status, 200u);
    EXPECT_EQ(once.body, again.body);
    EXPECT_NE(once.body, other.body);
}

TEST_F(SampleServiceTest, AnswersNotFoundForEverythingElse) {
    for (const char* target : {"/", "/his.php", "/his.php?url=x", "/his.php?hisurl=", "/other?hisurl=x"}) {
        const auto reply = fetch(address(target));
        EXPECT_EQ(reply.status, 404u) << target;
        EXPECT_EQ(reply.content_type, "text/html; charset=utf-8") << target;
        EXPECT_TRUE(contains(reply.body, "404")) << target;
    }
    EXPECT_EQ(lines.size(), 5u);
}

TEST_F(SampleServiceTest, ASecondServiceCannotTakeTheSamePort) {
    EXPECT_THROW(SampleService(service.port()), std::runtime_error);
    EXPECT_EQ(fetch(address("/his.php?hisurl=x")).status, 200u);
}

}  // namespace
}  // namespace ph::sample
