#include "core/link_check.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/text_samples.hpp"
#include "core/texts.hpp"

namespace ph {
namespace {

using test::T;

struct LinkCase {
    std::string_view link, scheme;
    bool accepted;
};

class LinkCheckTest : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkCheckTest, VerdictAndHistoryAddress) {
    const LinkCase& c = GetParam();
    Text link = T(c.link);
    Text scheme = link_scheme(link);
    EXPECT_EQ(scheme.bytes(), c.scheme);
    EXPECT_EQ(scheme_accepted(scheme), c.accepted);

    Text address = make_history_address(link);
    EXPECT_EQ(address.bytes(), std::string(texts::query_prefix.bytes()) + std::string(c.link));
    text_release(scheme);
    text_release(address);
}

INSTANTIATE_TEST_SUITE_P(Links, LinkCheckTest,
                         testing::Values(LinkCase{"https://a/b?id=1", "https", true},
                                         LinkCase{"http://a", "http", true},
                                         LinkCase{"https://", "https", true},
                                         LinkCase{"https://a://b", "https", true},
                                         LinkCase{"https://a/b?x=1&y=2#c", "https", true},
                                         LinkCase{"https://a ", "https", true},
                                         LinkCase{"https://\xC9\xCC\xC6\xB7", "https", true},
                                         LinkCase{"HTTP://a", "HTTP", false},
                                         LinkCase{"Https://a", "Https", false},
                                         LinkCase{" https://a", " https", false},
                                         LinkCase{"https ://a", "https ", false},
                                         LinkCase{"ftp://a", "ftp", false},
                                         LinkCase{"httpss://a", "httpss", false},
                                         LinkCase{"http:/a", "", false},
                                         LinkCase{"://a", "", false},
                                         LinkCase{"", "", false}));

TEST(LinkCheck, AbsentLinkIsRejectedLikeAnEmptyOne) {
    Text link;
    Text scheme = link_scheme(link);
    EXPECT_EQ(scheme.bytes(), "");
    EXPECT_FALSE(scheme_accepted(scheme));
}

TEST(LinkCheck, QueryPrefixIsTheServiceBaseAndQueryPath) {
    EXPECT_EQ(texts::service_base.bytes(), "http://" PRICE_SERVICE_HOST);
    EXPECT_EQ(texts::query_path.bytes(), "/his.php?hisurl=");
    EXPECT_EQ(texts::query_prefix.bytes(), "http://" PRICE_SERVICE_HOST "/his.php?hisurl=");
    EXPECT_NE(texts::service_base.bytes().back(), '/');
}

}  // namespace
}  // namespace ph
