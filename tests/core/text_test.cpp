#include "core/text.hpp"

#include <gtest/gtest.h>

#include <climits>

#include "core/text_samples.hpp"
#include "core/texts.hpp"

namespace ph {
namespace {

using test::absent;
using test::Arg;
using test::kShangPin;
using test::show;
using test::T;

// --- text_slice ---------------------------------------------------------

struct SliceCase {
    Arg text;
    std::int32_t start, count;
    std::string_view expected;  // empty results must be absent
};

class SliceTest : public testing::TestWithParam<SliceCase> {};

TEST_P(SliceTest, CutsBytesAndGivesAbsentWhenEmpty) {
    const SliceCase& c = GetParam();
    Text t = c.text.make();
    Text result = text_slice(t, c.start, c.count);
    EXPECT_EQ(result.bytes(), c.expected);
    EXPECT_EQ(result.is_absent(), c.expected.empty());
}

INSTANTIATE_TEST_SUITE_P(Positions, SliceTest,
                         testing::Values(SliceCase{"abc", 0, 2, ""},    // start 0 is not moved to 1
                                         SliceCase{"abc", -7, 2, ""},
                                         SliceCase{"abc", INT32_MIN, 2, ""},
                                         SliceCase{"abc", 1, 2, "ab"},
                                         SliceCase{"abc", 2, 99, "bc"},  // count cut at the end
                                         SliceCase{"abc", 2, INT32_MAX, "bc"},
                                         SliceCase{"abc", 3, 1, "c"},
                                         SliceCase{"abc", 4, 1, ""},    // past the end
                                         SliceCase{"abc", INT32_MAX, 1, ""},
                                         SliceCase{"abc", 1, 0, ""},
                                         SliceCase{"abc", 1, -1, ""},
                                         SliceCase{"", 1, 1, ""},
                                         SliceCase{absent, 1, 1, ""},
                                         // bytes, not characters: may split a pair
                                         SliceCase{kShangPin, 2, 2, "\xCC\xC6"}));

// --- text_search ----------------------------------------------------------

struct SearchCase {
    Arg text, pattern;
    std::int32_t start;
    bool case_insensitive;
    std::int32_t expected;
};

class SearchTest : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, FindsFirstMatchAtCharacterStarts) {
    const SearchCase& c = GetParam();
    Text t = c.text.make();
    Text pattern = c.pattern.make();
    EXPECT_EQ(text_search(t, pattern, c.start, c.case_insensitive), c.expected);
}

INSTANTIATE_TEST_SUITE_P(EmptyPattern, SearchTest,
                         testing::Values(SearchCase{"abc", "", 1, false, 1},
                                         SearchCase{"abc", "", 3, false, 1},  // 1 whatever the start
                                         SearchCase{"abc", absent, 3, false, 1},
                                         SearchCase{"abc", "", 4, false, -1},
                                         SearchCase{"", "", 1, false, -1},
                                         SearchCase{absent, absent, 0, false, -1}));

INSTANTIATE_TEST_SUITE_P(StartPositions, SearchTest,
                         testing::Values(SearchCase{"abcabc", "c", 4, false, 6},
                                         SearchCase{"abcabc", "c", 3, false, 3},
                                         SearchCase{"abc", "c", 0, false, 3},
                                         SearchCase{"abc", "c", -5, false, 3},
                                         SearchCase{"abc", "c", INT32_MIN, false, 3},
                                         SearchCase{"abc", "c", 4, false, -1},
                                         SearchCase{"abc", "c", INT32_MAX, false, -1},
                                         SearchCase{"abc", "abcd", 1, false, -1},
                                         SearchCase{"abc", "abc", 1, false, 1},
                                         SearchCase{absent, "a", 1, false, -1}));

INSTANTIATE_TEST_SUITE_P(CaseFolding, SearchTest,
                         testing::Values(SearchCase{"aBc", "bc", 1, true, 2},
                                         SearchCase{"aBc", "bc", 1, false, -1},
                                         SearchCase{"abc", "ABC", 1, true, 1},
                                         // only A..Z fold: '@' and '`', '[' and '{' stay apart
                                         SearchCase{"@[", "`{", 1, true, -1},
                                         // 0xC1 is not 0xE1 folded, even where 'A' would be
                                         SearchCase{"x\xC1\xC1", "x\xE1", 1, true, -1},
                                         // the second byte of a pair is folded too
                                         SearchCase{"\xB0\x41", "\xB0\x61", 1, true, 1}));

INSTANTIATE_TEST_SUITE_P(TwoByteCharacters, SearchTest,
                         testing::Values(SearchCase{kShangPin, "\xCC\xC6", 1, false, -1},  // never on a 2nd byte
                                         SearchCase{kShangPin, "\xC6\xB7", 1, false, 3},
                                         SearchCase{kShangPin, "\xC6\xB7", 2, false, -1},  // the start is used as
                                         SearchCase{kShangPin, "\xCC\xC6", 2, false, 2},   // given, then stepped
                                         SearchCase{"\xC9" "a", "a", 1, false, -1},       // 'a' is a 2nd byte
                                         SearchCase{"a\xC9", "b", 1, false, -1},          // lead byte at the end
                                         SearchCase{"a\xC9", "\xC9", 1, false, 2}));

// --- text_substitute --------------------------------------------------------

struct SubstituteCase {
    Arg text, old, replacement;
    std::int32_t start, count;
    bool case_sensitive;
    std::string_view expected;  // empty results must be absent
};

class SubstituteTest : public testing::TestWithParam<SubstituteCase> {};

TEST_P(SubstituteTest, ReplacesLeftToRightWithoutOverlap) {
    const SubstituteCase& c = GetParam();
    Text t = c.text.make();
    Text old = c.old.make();
    Text replacement = c.replacement.make();
    Text result = text_substitute(t, old, replacement, c.start, c.count, c.case_sensitive);
    EXPECT_EQ(result.bytes(), c.expected) << show(result.bytes());
    EXPECT_EQ(result.is_absent(), c.expected.empty());
}

// The quote marker "#引号" in code page 936.
constexpr std::string_view kQuoteMarker = "#\xD2\xFD\xBA\xC5";

INSTANTIATE_TEST_SUITE_P(
    Replacement, SubstituteTest,
    testing::Values(SubstituteCase{"a#\xD2\xFD\xBA\xC5" "b#\xD2\xFD\xBA\xC5", kQuoteMarker, "\"", kFromStart, kNoLimit,
                                   true, "a\"b\""},
                    SubstituteCase{"aaaa", "aa", "b", kFromStart, 1, true, "baa"},  // the budget
                    SubstituteCase{"aaaa", "aa", "b", kFromStart, kNoLimit, true, "bb"},
                    SubstituteCase{"aaa", "aa", "b", kFromStart, -9, true, "ba"},  // any negative: no limit
                    SubstituteCase{"aa", "a", "aa", kFromStart, kNoLimit, true, "aaaa"},  // not searched again
                    SubstituteCase{"abcabc", "b", absent, kFromStart, kNoLimit, true, "acac"},  // deleted
                    SubstituteCase{"abab", "ab", "", kFromStart, kNoLimit, true, ""},  // empty result: absent
                    SubstituteCase{"aXa", "x", "-", kFromStart, kNoLimit, false, "a-a"},
                    SubstituteCase{"aXa", "x", "-", kFromStart, kNoLimit, true, "aXa"}));

INSTANTIATE_TEST_SUITE_P(
    Unchanged, SubstituteTest,
    testing::Values(SubstituteCase{"", "a", "b", kFromStart, kNoLimit, true, ""},
                    SubstituteCase{absent, "a", "b", kFromStart, kNoLimit, true, ""},
                    SubstituteCase{"abc", "", "x", kFromStart, kNoLimit, true, "abc"},
                    SubstituteCase{"abc", absent, "x", kFromStart, kNoLimit, true, "abc"},
                    SubstituteCase{"abc", "a", "x", kFromStart, 0, true, "abc"},
                    SubstituteCase{"abc", "a", "x", 4, kNoLimit, true, "abc"},
                    SubstituteCase{"abc", "abcd", "x", kFromStart, kNoLimit, true, "abc"}));

INSTANTIATE_TEST_SUITE_P(
    StartAndCharacters, SubstituteTest,
    testing::Values(SubstituteCase{"abab", "a", "x", 2, kNoLimit, true, "abxb"},   // bytes before start kept
                    SubstituteCase{"abab", "a", "x", 0, kNoLimit, true, "xbxb"},   // start <= 1: whole text
                    SubstituteCase{"abab", "a", "x", INT32_MIN, kNoLimit, true, "xbxb"},
                    SubstituteCase{kShangPin, "\xCC\xC6", "x", kFromStart, kNoLimit, true, kShangPin},
                    SubstituteCase{kShangPin, "\xC6\xB7", "x", kFromStart, kNoLimit, true, "\xC9\xCCx"},
                    SubstituteCase{"\xC1" "A", "a", "x", kFromStart, kNoLimit, false, "\xC1" "A"},
                    SubstituteCase{"a\xC9", "b", "x", kFromStart, kNoLimit, true, "a\xC9"}));  // lead byte at end

// --- text_compare -------------------------------------------------------------

struct CompareCase {
    Arg a, b;
    int expected;
};

class CompareTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareTest, OrdersByUnsignedBytes) {
    const CompareCase& c = GetParam();
    Text a = c.a.make();
    Text b = c.b.make();
    EXPECT_EQ(text_compare(a, b), c.expected);
    EXPECT_EQ(text_compare(b, a), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareTest,
                         testing::Values(CompareCase{absent, "", 0},
                                         CompareCase{absent, absent, 0},
                                         CompareCase{absent, "a", -1},
                                         CompareCase{"http", "https", -1},
                                         CompareCase{"HTTP", "http", -1},
                                         CompareCase{"http", "http", 0},
                                         CompareCase{"\x80", "\x7F", 1},
                                         CompareCase{"\xFF", "z", 1}));

// --- text_join and ownership ---------------------------------------------------

TEST(TextJoin, JoinsPiecesAndIsAlwaysStored) {
    Text http = T("http");
    Text absent_piece;
    Text s = T("s");
    Text joined = text_join(http, absent_piece, s);
    EXPECT_EQ(joined.bytes(), "https");
    EXPECT_TRUE(joined.is_stored());

    Text empty = text_join(absent_piece);
    EXPECT_TRUE(empty.is_stored());
    EXPECT_EQ(text_size(empty), 0);
    EXPECT_STREQ(empty.c_str(), "");
}

TEST(TextOwnership, ReleaseFreesStoredTextsOnceAndLeavesOthersAlone) {
    Text stored = text_join(T("abc"));
    text_release(stored);
    EXPECT_TRUE(stored.is_absent());
    EXPECT_EQ(text_size(stored), 0);
    text_release(stored);  // a second release finds an absent text: harmless

    Text absent_text;
    text_release(absent_text);
    EXPECT_TRUE(absent_text.is_absent());

    Text constant = Text::constant("const");
    text_release(constant);
    EXPECT_TRUE(constant.is_constant());
    EXPECT_EQ(constant.bytes(), "const");
    EXPECT_EQ(texts::http.bytes(), "http");  // the program's constants survive any release
}

TEST(TextOwnership, MovesHandOverStorageWithoutCopies) {
    Text a = T("abc");
    const char* bytes = a.c_str();
    Text b = std::move(a);
    EXPECT_EQ(b.c_str(), bytes);
    EXPECT_TRUE(a.is_absent());  // NOLINT(bugprone-use-after-move): moved-from is absent by contract
    b = T("x");                  // the old storage is released, as the sanitizers check
    EXPECT_EQ(b.bytes(), "x");
}

TEST(TextOwnership, StoredTextEndsAtItsFirstZeroByte) {
    Text t = Text::stored(std::string_view("ab\0cd", 5));
    EXPECT_EQ(text_size(t), 2);
}

}  // namespace
}  // namespace ph
