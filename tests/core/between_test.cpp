#include "core/between.hpp"

#include <gtest/gtest.h>

#include "core/text_samples.hpp"
#include "core/texts.hpp"

namespace ph {
namespace {

using test::absent;
using test::Arg;
using test::kShangPin;
using test::show;

struct BetweenCase {
    Arg text, before, after;
    std::int32_t start;
    bool case_insensitive;
    std::string_view expected;
};

class BetweenTest : public testing::TestWithParam<BetweenCase> {};

TEST_P(BetweenTest, CutsThePartBetweenTheMarkers) {
    const BetweenCase& c = GetParam();
    Text text = c.text.make();
    Text before = c.before.make();
    Text after = c.after.make();
    Text result = text_between(text, before, after, c.start, c.case_insensitive);
    EXPECT_EQ(result.bytes(), c.expected) << show(result.bytes());
    EXPECT_FALSE(result.is_stored() && c.expected.empty());
    text_release(result);
}

// The call that cuts a link's scheme.
BetweenCase scheme(Arg link, std::string_view expected) { return {link, "", "://", 0, false, expected}; }

INSTANTIATE_TEST_SUITE_P(Scheme, BetweenTest,
                         testing::Values(scheme("https://a/b", "https"),
                                         scheme("http://a", "http"),
                                         scheme("HTTPS://a", "HTTPS"),
                                         scheme("ftp://a", "ftp"),
                                         scheme(" https://a", " https"),
                                         scheme("a://b://c", "a"),
                                         scheme("\xC9\xCC\xC6\xB7://a", kShangPin),
                                         scheme("://x", ""),
                                         scheme("http:/a", ""),
                                         scheme("abc", ""),
                                         scheme("", ""),
                                         scheme(absent, "")));

// «name="value";» with the quote marker "#引号" standing for the quotes.
constexpr const char* kQuoted = "name=\"value\";";
constexpr const char* kNameQuote = "name=#\xD2\xFD\xBA\xC5";
constexpr const char* kQuote = "#\xD2\xFD\xBA\xC5";

INSTANTIATE_TEST_SUITE_P(
    Markers, BetweenTest,
    testing::Values(BetweenCase{kQuoted, kNameQuote, kQuote, 0, false, "value"},
                    // the marker substitution never touches the text itself
                    BetweenCase{"#\xD2\xFD\xBA\xC5x\"", kQuote, "\"", 0, false, ""},
                    BetweenCase{"<b>x</B>", "<b>", "</b>", 0, true, "x"},
                    BetweenCase{"<b>x</B>", "<b>", "</b>", 0, false, ""},
                    BetweenCase{"[a][b]", "[", "]", 2, false, "b"},
                    BetweenCase{"[a][b]", "[", "]", 9, false, ""},
                    BetweenCase{"abc", "", "", 0, false, ""},  // an empty after-marker: always empty
                    BetweenCase{"xab", "x", "b", 0, false, "a"},
                    BetweenCase{"xb", "x", "b", 0, false, ""},  // adjacent markers
                    BetweenCase{"abcdef", "", "e", 3, false, "abcd"},  // empty before: from byte 1
                    BetweenCase{"abc", "", "c", 4, false, ""},         // ...unless start is past the end
                    BetweenCase{"xaybyc", "x", "y", 0, false, "a"},    // the first after-marker ends it
                    BetweenCase{"abc", "q", "c", 0, false, ""}));      // before-marker missing

TEST(TextBetween, MissingMarkerGivesTheConstantEmptyText) {
    Text text = Text::stored("abc");
    Text before = Text::stored("q");
    Text result = text_between(text, before, texts::scheme_separator, 0, false);
    EXPECT_TRUE(result.is_constant());
    EXPECT_EQ(result.bytes(), "");
    text_release(result);  // the caller releases whatever it got
}

}  // namespace
}  // namespace ph
