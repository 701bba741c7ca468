// The pure parts of the sample service: reading the query, decoding the
// address for display, the made-up history and the page built from them.
#include "sample_service/history_page.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "sample_service/address_text.hpp"
#include "sample_service/price_series.hpp"
#include "sample_service/request_line.hpp"
#include "sample_service/sample_service.hpp"
#include "sample_service/service_host.hpp"

namespace ph::sample {
namespace {

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The drawn price line of a page: the one path without a fill.
std::string price_line_of(const std::string& page) {
    const auto end = page.find("\" fill=\"none\" stroke=\"#2f6fc9\"");
    const auto start = page.rfind("<path d=\"", end);
    if (start == std::string::npos || end == std::string::npos) return {};
    return page.substr(start, end - start);
}

TEST(RequestLineTest, ParsesOnlyThreePartLines) {
    EXPECT_EQ(RequestLine::parse("GET /his.php?hisurl=a&b HTTP/1.1"),
              (RequestLine{"GET", "/his.php?hisurl=a&b", "HTTP/1.1"}));
    for (const char* bad : {"", "GET", "GET /", "GET  HTTP/1.1", " /a HTTP/1.1", "GET /a b HTTP/1.1", "GET /a "})
        EXPECT_EQ(RequestLine::parse(bad), std::nullopt) << bad;
    EXPECT_EQ(RequestLine::parse("GET /a%20b HTTP/1.0")->text(), "GET /a%20b HTTP/1.0");
}

TEST(RequestTargetTest, SplitsPathAndRawQuery) {
    struct Case {
        std::string_view target, path;
        std::optional<std::string_view> query;
    };
    for (const Case& c : {Case{"/his.php?hisurl=x?y=1&z", "/his.php", "hisurl=x?y=1&z"}, Case{"/a", "/a", std::nullopt},
                          Case{"/a?", "/a", ""}, Case{"http://127.0.0.1:8936/his.php?q", "/his.php", "q"},
                          Case{"http://127.0.0.1:8936", "/", std::nullopt}}) {
        const auto split = split_target(c.target);
        EXPECT_EQ(split.path, c.path) << c.target;
        EXPECT_EQ(split.query, c.query) << c.target;
    }
}

TEST(RequestTargetTest, HisurlIsEverythingAfterTheFirstKey) {
    EXPECT_EQ(hisurl_of("hisurl=https://a.example/p?id=1&y=2"), "https://a.example/p?id=1&y=2");
    EXPECT_EQ(hisurl_of("x=1&hisurl=a&hisurl=b"), "a&hisurl=b");
    EXPECT_EQ(hisurl_of("hisurl="), "");
    EXPECT_EQ(hisurl_of("url=a"), std::nullopt);
}

TEST(ServiceAnswerTest, OnlyAHistoryQueryWithAnAddressGetsAPage) {
    struct Case {
        std::string_view target;
        unsigned status;
    };
    for (const Case& c : {Case{"/his.php?hisurl=https://a.example/1", 200},
                          Case{"http://127.0.0.1:8936/his.php?hisurl=x", 200}, Case{"/his.php", 404},
                          Case{"/his.php?", 404}, Case{"/his.php?hisurl=", 404}, Case{"/his.php?url=x", 404},
                          Case{"/", 404}, Case{"/other.php?hisurl=x", 404}, Case{"/his.php/x?hisurl=y", 404},
                          Case{"/HIS.PHP?hisurl=x", 404}}) {
        const auto answer = answer_for(c.target);
        EXPECT_EQ(answer.status, c.status) << c.target;
        EXPECT_TRUE(answer.html.starts_with("<!DOCTYPE html>")) << c.target;
    }
}

TEST(ServiceHostTest, PortComesFromTheHostsPortPart) {
    static_assert(port_of_host("127.0.0.1:8936") == 8936);
    EXPECT_EQ(port_of_host("localhost:1"), 1);
    EXPECT_EQ(port_of_host("example.test"), 80);
    EXPECT_EQ(port_of_host("h:"), 80);
    EXPECT_EQ(port_of_host("h:99999"), 80);
    EXPECT_EQ(port_of_host("h:8a"), 80);
}

struct ShownCase {
    std::string_view raw;
    std::string_view shown;
};

class ReadableAddressTest : public testing::TestWithParam<ShownCase> {};

TEST_P(ReadableAddressTest, DecodesForReading) { EXPECT_EQ(readable_address(GetParam().raw), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Addresses, ReadableAddressTest,
    testing::Values(ShownCase{"https://a.example/p?id=1&y=2", "https://a.example/p?id=1&y=2"},
                    ShownCase{"%E4%B8%AD%E6%96%87", "中文"}, ShownCase{"%e4%b8%ad", "中"},
                    ShownCase{"%F0%9F%98%80!", "😀!"}, ShownCase{"a%20b", "a b"}, ShownCase{"a+b", "a+b"},
                    ShownCase{"50%", "50%"}, ShownCase{"%zz%4", "%zz%4"}, ShownCase{"%7e", "~"},
                    ShownCase{"%D6%D0%CE%C4", "中文"},  // GB18030 bytes
                    ShownCase{"a%0Ab%00", "a%0Ab%00"}, ShownCase{"%3Cb%3E", "<b>"}));

TEST(HtmlEscapeTest, EscapesEverythingMarkupCouldUse) {
    EXPECT_EQ(html_escape(R"(<a href="x" title='y'>&amp;</a>)"),
              "&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;amp;&lt;/a&gt;");
}

TEST(PriceHistoryTest, IsAConsistentRunOfDays) {
    const auto history = sample_history("https://a.example/item/1");
    ASSERT_EQ(history.days.size(), static_cast<std::size_t>(sample_day_count));
    EXPECT_EQ(history.days.back().day, std::chrono::sys_days{sample_last_day});
    for (std::size_t i = 1; i < history.days.size(); ++i)
        EXPECT_EQ(history.days[i].day - history.days[i - 1].day, std::chrono::days{1});
    for (const auto& day : history.days) {
        EXPECT_GT(day.cents, 0);
        EXPECT_LE(day.cents, history.highest.cents);
        EXPECT_GE(day.cents, history.lowest.cents);
    }
    auto on = [&](const DayPrice& p) {
        return std::find_if(history.days.begin(), history.days.end(),
                            [&](const DayPrice& d) { return d.day == p.day; })->cents;
    };
    EXPECT_EQ(on(history.highest), history.highest.cents);
    EXPECT_EQ(on(history.lowest), history.lowest.cents);
    EXPECT_EQ(history.current.day, history.days.back().day);
    EXPECT_EQ(history.current.cents, history.days.back().cents);
}

TEST(PriceHistoryTest, FollowsTheAddress) {
    std::set<std::int64_t> shelf_prices;
    for (int i = 0; i < 20; ++i) {
        const std::string address = "https://a.example/item/" + std::to_string(i);
        const auto history = sample_history(address);
        EXPECT_EQ(sample_history(address).days.front().cents, history.days.front().cents);
        shelf_prices.insert(history.days.front().cents);
    }
    EXPECT_GE(shelf_prices.size(), 15u) << "the histories hardly differ";
}

TEST(PriceTextTest, GroupsThousands) {
    EXPECT_EQ(price_text(0), "0.00");
    EXPECT_EQ(price_text(5), "0.05");
    EXPECT_EQ(price_text(129900), "1,299.00");
    EXPECT_EQ(price_text(123456789), "1,234,567.89");
    EXPECT_EQ(day_text(std::chrono::sys_days{sample_last_day}), "2024-12-31");
}

TEST(HistoryPageTest, SameAddressSamePageOtherAddressOtherChart) {
    const auto page = history_page("https://a.example/item.htm?id=1");
    EXPECT_EQ(history_page("https://a.example/item.htm?id=1"), page);
    const auto line = price_line_of(page);
    ASSERT_FALSE(line.empty());
    EXPECT_NE(price_line_of(history_page("https://a.example/item.htm?id=2")), line);
    // Spelling the same address with other escapes draws the same chart.
    EXPECT_EQ(price_line_of(history_page("https://a.example/item.htm%3Fid=1")), line);
}

TEST(HistoryPageTest, IsMarkedAsSampleDataAndShowsTheFigures) {
    const auto page = history_page("https://a.example/item.htm?id=1");
    EXPECT_TRUE(contains(page, "<meta charset=\"utf-8\">"));
    EXPECT_TRUE(contains(page, "示例数据"));
    EXPECT_TRUE(contains(page, "<svg"));
    const auto history = sample_history("https://a.example/item.htm?id=1");
    for (const auto& price : {history.highest, history.lowest, history.current}) {
        EXPECT_TRUE(contains(page, "¥" + price_text(price.cents))) << price_text(price.cents);
        EXPECT_TRUE(contains(page, day_text(price.day))) << day_text(price.day);
    }
}

TEST(HistoryPageTest, ShowsTheAddressDecodedAndEscaped) {
    const auto page = history_page("https://a.example/p?q=%E4%B8%AD%20%3Cscript%3Ealert(1)%3C/script%3E&y=\"2\"");
    EXPECT_TRUE(contains(page, "https://a.example/p?q=中 &lt;script&gt;alert(1)&lt;/script&gt;&amp;y=&quot;2&quot;"));
    EXPECT_FALSE(contains(page, "<script"));
    EXPECT_FALSE(contains(page, "y=\"2\""));
    // Unencoded markup in the raw query is escaped in the raw echo too.
    const auto raw = history_page("<script>alert(1)</script>");
    EXPECT_FALSE(contains(raw, "<script"));
    EXPECT_TRUE(contains(raw, "hisurl=&lt;script&gt;alert(1)&lt;/script&gt;"));
}

TEST(NotFoundPageTest, EscapesTheTarget) {
    const auto page = not_found_page("/x?<b>");
    EXPECT_TRUE(contains(page, "404"));
    EXPECT_TRUE(contains(page, "/x?&lt;b&gt;"));
    EXPECT_FALSE(contains(page, "<b>"));
}

}  // namespace
}  // namespace ph::sample
