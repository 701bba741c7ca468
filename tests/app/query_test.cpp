// The whole query path with the real window, the real engine and a service
// of our own on the program's service host (127.0.0.1:8936).
#include <gtest/gtest.h>

#include <gdk/gdk.h>

#include <memory>

#include "core/codepage.hpp"
#include "core/texts.hpp"
#include "frame_rows.hpp"
#include "history_service.hpp"
#include "loaded_window.hpp"
#include "test_http_server.hpp"
#include "ui/handlers.hpp"

namespace ph {
namespace {

using namespace std::chrono_literals;
using test::TestHttpServer;
using ui::Role;

using test::kQueryPath;
using test::kServicePort;

class QueryTest : public test::LoadedWindow {
protected:
    void SetUp() override {
        server = std::make_unique<TestHttpServer>(kServicePort);
        LoadedWindow::SetUp();
    }
    void TearDown() override {
        LoadedWindow::TearDown();
        server.reset();
    }

    // Types the link (UTF-8) and clicks Query, as the user would.
    void query(const std::string& link) {
        entry(Role::LinkBox).set_text(link);
        dynamic_cast<Gtk::Button&>(widget(Role::QueryButton)).clicked();
    }

    // Queries an accepted link and returns the target its request arrived with.
    std::string target_for(const std::string& link) {
        server->clear_raw_targets();
        query(link);
        if (!server->wait_for_requests(1)) return "(no request)";
        return server->raw_targets().front();
    }

    std::unique_ptr<TestHttpServer> server;
};

struct RequestCase {
    const char* link;    // as typed, UTF-8
    const char* target;  // hisurl as it reaches the service
};

class RequestTest : public QueryTest, public testing::WithParamInterface<RequestCase> {};

TEST_P(RequestTest, AcceptedLinkReachesTheService) {
    EXPECT_EQ(target_for(GetParam().link), std::string(kQueryPath) + GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(
    Links, RequestTest,
    testing::Values(RequestCase{"https://a/b?id=1", "https://a/b?id=1"}, RequestCase{"http://a", "http://a"},
                    RequestCase{"https://", "https://"}, RequestCase{"https://a://b", "https://a://b"},
                    RequestCase{"https://a/b?x=1&y=2#c", "https://a/b?x=1&y=2"},  // the engine keeps #c
                    RequestCase{"https://a/商品", "https://a/%E5%95%86%E5%93%81"},
                    RequestCase{"https://a/🍄", "https://a/%F0%9F%8D%84"},
                    RequestCase{"https://a/b c", "https://a/b%20c"}));

TEST_F(QueryTest, TrailingSpaceIsHandedToTheEngine) {
    target_for("https://a ");
    EXPECT_EQ(page_view().requested_uri(), to_utf8(texts::query_prefix) + "https://a ");
}

TEST_F(QueryTest, FrameShowsPageRows235To810) {
    query("https://a/b");
    ASSERT_TRUE(server->wait_for_requests(1));
    std::vector<int> rows;
    test::run_until(
        [&] {
            test::run_for(100ms);
            rows = test::rows_shown_in_frame(widget(Role::ViewFrame));
            return !rows.empty() && rows.front() == 235;
        },
        15s);
    ASSERT_EQ(rows.size(), 576u);
    for (int row = 0; row < 576; ++row) ASSERT_EQ(rows[static_cast<std::size_t>(row)], 235 + row) << row;

    const app::Control& page = *controls().find(Role::PageView);
    EXPECT_EQ(page.placement.left, 0);
    EXPECT_EQ(page.placement.top, -235);
    EXPECT_EQ(page.placement.width, 960);
    EXPECT_EQ(page.placement.height, 32627);
    const Gtk::Allocation a = widget(Role::PageView).get_allocation();
    EXPECT_EQ(a.get_y(), -235);
    EXPECT_EQ(a.get_height(), 32627);
    const Gtk::Allocation web = Glib::wrap(GTK_WIDGET(page_view().web_view()))->get_allocation();
    EXPECT_EQ(web.get_width(), 960);  // the web view covers its host
    EXPECT_EQ(web.get_height(), 32627);
}

struct RejectedCase {
    const char* link;
    const char* scheme_left_behind;
};

class RejectedTest : public QueryTest, public testing::WithParamInterface<RejectedCase> {};

TEST_P(RejectedTest, ShowsTheMessageAndChangesOnlyTheSchemeBox) {
    test::SeenDialog seen;
    bool box_holds_the_input = false;
    test::answer_next_dialog(seen, [&] {
        // The main window takes no input while the box is up: Esc, which
        // would close it, goes nowhere.
        GtkWidget* grab = gtk_grab_get_current();
        box_holds_the_input = grab && gtk_widget_get_toplevel(grab) != GTK_WIDGET(window().gobj());
        test::press_key(window(), GDK_KEY_Escape);
    });
    query(GetParam().link);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, to_utf8(texts::rejection_message));
    EXPECT_EQ(seen.title, to_utf8(texts::rejection_title));
    EXPECT_EQ(seen.type, Gtk::MESSAGE_OTHER);
    EXPECT_FALSE(seen.has_image);
    EXPECT_FALSE(seen.has_parent);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(box_holds_the_input);
    test::run_for(50ms);
    EXPECT_TRUE(window().get_visible());
    EXPECT_EQ(entry(Role::SchemeBox).get_text(), GetParam().scheme_left_behind);
    EXPECT_FALSE(widget(Role::PageView).get_visible());
    EXPECT_EQ(page_view().requested_uri(), "");
    EXPECT_TRUE(server->raw_targets().empty());
}

INSTANTIATE_TEST_SUITE_P(Links, RejectedTest,
                         testing::Values(RejectedCase{"HTTPS://a", "HTTPS"}, RejectedCase{"Https://a", "Https"},
                                         RejectedCase{" https://a", " https"}, RejectedCase{"https ://a", "https "},
                                         RejectedCase{"ftp://a", "ftp"}, RejectedCase{"http:/a", ""},
                                         RejectedCase{"://a", ""}, RejectedCase{"", ""}));

TEST_F(QueryTest, ClearThenQueryRejects) {
    entry(Role::LinkBox).set_text("https://a");
    dynamic_cast<Gtk::Button&>(widget(Role::ClearButton)).clicked();
    EXPECT_EQ(entry(Role::LinkBox).get_text(), "");
    test::SeenDialog seen;
    test::answer_next_dialog(seen);
    dynamic_cast<Gtk::Button&>(widget(Role::QueryButton)).clicked();
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(entry(Role::SchemeBox).get_text(), "");
}

TEST_F(QueryTest, SameLinkTwiceLoadsTwiceInTheSamePlace) {
    ASSERT_EQ(target_for("https://a/1"), std::string(kQueryPath) + "https://a/1");
    const Gtk::Allocation first = widget(Role::PageView).get_allocation();
    ASSERT_EQ(target_for("https://a/1"), std::string(kQueryPath) + "https://a/1");
    settle();
    const Gtk::Allocation second = widget(Role::PageView).get_allocation();
    EXPECT_EQ(first.get_y(), second.get_y());
    EXPECT_EQ(first.get_height(), second.get_height());
}

TEST_F(QueryTest, RejectedQueryAndClearKeepTheEarlierPage) {
    ASSERT_EQ(target_for("https://a/kept"), std::string(kQueryPath) + "https://a/kept");
    const std::string shown = page_view().requested_uri();
    test::SeenDialog seen;
    test::answer_next_dialog(seen);
    query("ftp://other");
    EXPECT_TRUE(seen.seen);
    dynamic_cast<Gtk::Button&>(widget(Role::ClearButton)).clicked();
    EXPECT_EQ(page_view().requested_uri(), shown);
    EXPECT_TRUE(widget(Role::PageView).get_visible());
    EXPECT_EQ(entry(Role::SchemeBox).get_text(), "ftp");
    EXPECT_EQ(server->raw_targets().size(), 1u);
}

}  // namespace
}  // namespace ph
