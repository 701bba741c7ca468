// The handlers against recorded control operations: the order of reads and
// writes, what is written, and that nothing else happens.
#include "ui/handlers.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/texts.hpp"
#include "ui/control_operations.hpp"

namespace ph::ui {
namespace {

// Edit boxes that hold bytes, and a log of every operation in order.
class RecordedControls : public ControlOperations {
public:
    std::map<Role, std::string> boxes;
    std::vector<std::string> log;
    std::string caption;
    std::string address;
    int message_boxes = 0;

    Text read_content(Role box) override {
        log.push_back("read " + name(box));
        const std::string& bytes = boxes[box];
        return bytes.empty() ? Text() : Text::stored(bytes);
    }
    void write_content(Role box, const Text& text) override {
        log.push_back("write " + name(box) + " " + std::string(text.bytes()));
        boxes[box] = text.bytes();
    }
    void write_caption(const Text& text) override {
        log.push_back("caption");
        caption = text.bytes();
    }
    void write_address(Role, const Text& text) override {
        log.push_back("address");
        address = text.bytes();
    }
    void write_visible(Role, bool visible) override { log.push_back(visible ? "show" : "hide"); }
    void write_left(Role, std::int32_t v) override { log.push_back("left " + std::to_string(v)); }
    void write_top(Role, std::int32_t v) override { log.push_back("top " + std::to_string(v)); }
    void write_width(Role, std::int32_t v) override { log.push_back("width " + std::to_string(v)); }
    void write_height(Role, std::int32_t v) override { log.push_back("height " + std::to_string(v)); }
    void show_message_box(const Text& message, const Text& title) override {
        ++message_boxes;
        log.push_back("message");
        EXPECT_EQ(message.bytes(), texts::rejection_message.bytes());
        EXPECT_EQ(title.bytes(), texts::rejection_title.bytes());
    }

private:
    static std::string name(Role role) {
        return role == Role::LinkBox ? "link" : role == Role::SchemeBox ? "scheme" : "other";
    }
};

class HandlersTest : public testing::Test {
protected:
    void SetUp() override { install_controls(&controls); }
    void TearDown() override { install_controls(nullptr); }
    RecordedControls controls;
};

TEST_F(HandlersTest, CreatedWritesTheCaptionOnly) {
    handle_window_created();
    EXPECT_EQ(controls.log, std::vector<std::string>{"caption"});
    EXPECT_EQ(controls.caption, texts::caption.bytes());
}

TEST_F(HandlersTest, ClearEmptiesTheLinkBoxOnly) {
    controls.boxes[Role::LinkBox] = "https://a";
    controls.boxes[Role::SchemeBox] = "https";
    handle_clear_clicked();
    EXPECT_EQ(controls.log, std::vector<std::string>{"write link "});
    EXPECT_EQ(controls.boxes[Role::SchemeBox], "https");
}

TEST_F(HandlersTest, AcceptedHttpsLinkChecksBothSchemesThenPlacesTheView) {
    controls.boxes[Role::LinkBox] = "https://a/b?x=1&y=2#c ";
    handle_query_clicked();
    const std::vector<std::string> expected = {
        "read link",   "write scheme https", "read scheme", "read scheme", "read link", "address",
        "show",        "left 0",             "top -235",    "width 960",   "height 50000",
    };
    EXPECT_EQ(controls.log, expected);
    EXPECT_EQ(controls.address, std::string(texts::query_prefix.bytes()) + "https://a/b?x=1&y=2#c ");
    EXPECT_EQ(controls.message_boxes, 0);
}

TEST_F(HandlersTest, AcceptedHttpLinkReadsTheSchemeBoxOnce) {
    controls.boxes[Role::LinkBox] = "http://a";
    handle_query_clicked();
    const std::vector<std::string> expected = {"read link", "write scheme http", "read scheme", "read link",
                                               "address",   "show",              "left 0",      "top -235",
                                               "width 960", "height 50000"};
    EXPECT_EQ(controls.log, expected);
}

struct RejectedCase {
    const char* link;
    const char* scheme_left_behind;
};

class RejectedLinkTest : public HandlersTest, public testing::WithParamInterface<RejectedCase> {};

TEST_P(RejectedLinkTest, ShowsTheMessageAndLeavesThePageViewAlone) {
    controls.boxes[Role::LinkBox] = GetParam().link;
    handle_query_clicked();
    const std::string scheme = GetParam().scheme_left_behind;
    const std::vector<std::string> expected = {"read link", "write scheme " + scheme, "read scheme", "read scheme",
                                               "message"};
    EXPECT_EQ(controls.log, expected);
    EXPECT_EQ(controls.boxes[Role::SchemeBox], scheme);
    EXPECT_TRUE(controls.address.empty());
}

INSTANTIATE_TEST_SUITE_P(Links, RejectedLinkTest,
                         testing::Values(RejectedCase{"HTTPS://a", "HTTPS"}, RejectedCase{"Https://a", "Https"},
                                         RejectedCase{" https://a", " https"}, RejectedCase{"https ://a", "https "},
                                         RejectedCase{"ftp://a", "ftp"}, RejectedCase{"http:/a", ""},
                                         RejectedCase{"://a", ""}, RejectedCase{"", ""}));

TEST_F(HandlersTest, RepeatedQueriesRepeatEveryStep) {
    controls.boxes[Role::LinkBox] = "http://a";
    handle_query_clicked();
    const std::size_t first = controls.log.size();
    handle_query_clicked();
    ASSERT_EQ(controls.log.size(), 2 * first);
    EXPECT_TRUE(std::equal(controls.log.begin(), controls.log.begin() + first, controls.log.begin() + first));
}

}  // namespace
}  // namespace ph::ui
