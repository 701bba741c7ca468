#include "core/codepage.hpp"

#include <gtest/gtest.h>

#include "core/texts.hpp"

namespace ph {
namespace {

struct RoundTripCase {
    const char* what;
    std::string_view utf8;
    std::string_view program_bytes;  // empty: not checked
};

class CodePageTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(CodePageTest, SurvivesTheRoundTrip) {
    const RoundTripCase& c = GetParam();
    Text text = text_from_utf8(c.utf8);
    if (!c.program_bytes.empty()) {
        EXPECT_EQ(text.bytes(), c.program_bytes);
    }
    EXPECT_EQ(to_utf8(text), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, CodePageTest,
    testing::Values(RoundTripCase{"ascii", "https://a/b?x=1&y=2#c", "https://a/b?x=1&y=2#c"},
                    // code page 936 characters keep their two bytes
                    RoundTripCase{"shang pin", "\xE5\x95\x86\xE5\x93\x81", "\xC9\xCC\xC6\xB7"},
                    RoundTripCase{"full-width colon", "\xEF\xBC\x9A", "\xA3\xBA"},
                    // beyond code page 936: four-byte GB18030 sequences
                    RoundTripCase{"emoji", "\xF0\x9F\x8D\x84", ""},
                    RoundTripCase{"extension B", "\xF0\xA0\x80\x80", ""},
                    RoundTripCase{"right-to-left mark", "\xE2\x80\x8F", ""},
                    RoundTripCase{"euro sign", "\xE2\x82\xAC", ""}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ' || c == '-') c = '_';
        return name;
    });

TEST(CodePage, EmptyUtf8GivesTheAbsentText) { EXPECT_TRUE(text_from_utf8("").is_absent()); }

TEST(CodePage, BrokenProgramBytesBecomeReplacementCharacters) {
    // half of "商" and nothing after it
    EXPECT_EQ(to_utf8(std::string_view("a\xC9")), "a\xEF\xBF\xBD");
}

TEST(CodePage, InvalidUtf8BecomesQuestionMarks) { EXPECT_EQ(text_from_utf8("a\xFF" "b").bytes(), "a?b"); }

TEST(CodePage, ProgramConstantsConvert) {
    EXPECT_EQ(to_utf8(texts::caption),
              "\xE5\x95\x86\xE5\x93\x81\xE5\x8E\x86\xE5\x8F\xB2\xE4\xBB\xB7\xE6\xA0\xBC\xE6\x9F\xA5\xE8\xAF\xA2");
    EXPECT_EQ(text_from_utf8(to_utf8(texts::help_label)).bytes(), texts::help_label.bytes());
}

}  // namespace
}  // namespace ph
