// The page view in the loaded window: its settings, what it hands to the
// engine, pages that ask for new windows, and a page process that dies.
#include <gtest/gtest.h>

#include <signal.h>

#include "core/codepage.hpp"
#include "loaded_window.hpp"
#include "test_http_server.hpp"

namespace ph {
namespace {

using namespace std::chrono_literals;
using ui::Role;

class PageViewTest : public test::LoadedWindow {
protected:
    void show(const std::string& uri) {
        Text address = text_from_utf8(uri);
        page_view().write_address(address);
        controls().write_visible(Role::PageView, true);
        controls().write_width(Role::PageView, 960);
        controls().write_height(Role::PageView, 576);
        controls().write_top(Role::PageView, 0);
    }
    bool wait_loaded() {
        return test::run_until([&] { return !webkit_web_view_is_loading(page_view().web_view()); }, 10s);
    }
    // Clicks the middle of the page's top part, where the test pages put their link.
    void click_page() {
        test::run_for(200ms);
        GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(page_view().web_view()));
        for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
            GdkEvent* event = gdk_event_new(type);
            event->button.window = GDK_WINDOW(g_object_ref(window));
            event->button.button = 1;
            event->button.x = 480;
            event->button.y = 100;
            event->button.time = GDK_CURRENT_TIME;
            gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
            gtk_main_do_event(event);
            gdk_event_free(event);
        }
    }

    test::TestHttpServer server;
};

TEST_F(PageViewTest, TextSizeLevelIsHeldAndSetsTheDefaultFontSize) {
    WebKitSettings* settings = webkit_web_view_get_settings(page_view().web_view());
    const std::pair<std::int32_t, std::uint32_t> levels[] = {{-3, 12}, {0, 12}, {1, 14}, {2, 16}, {3, 20}, {4, 24},
                                                             {99, 24}};
    std::uint32_t previous = 0;
    for (auto [level, font_px] : levels) {
        page_view().write_text_size_level(level);
        EXPECT_EQ(webkit_settings_get_default_font_size(settings), font_px) << level;
        EXPECT_GE(font_px, previous);
        previous = font_px;
    }
    EXPECT_EQ(page_view().settings().text_size_level, 4);
}

TEST_F(PageViewTest, EngineRunsWithoutAccelerationAndKeepsNothing) {
    WebKitSettings* settings = webkit_web_view_get_settings(page_view().web_view());
    EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(settings), WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    EXPECT_TRUE(webkit_web_context_is_ephemeral(webkit_web_view_get_context(page_view().web_view())));
}

TEST_F(PageViewTest, AddressGoesToTheEngineUnchanged) {
    show(server.address("/a b?x=1&y=2#frag"));
    EXPECT_EQ(page_view().requested_uri(), server.address("/a b?x=1&y=2#frag"));
    ASSERT_TRUE(server.wait_for_requests(1));
    EXPECT_EQ(server.raw_targets().front(), "/a%20b?x=1&y=2");
}

TEST_F(PageViewTest, EmptyAddressShowsTheBlankPage) {
    page_view().write_address(Text());
    EXPECT_TRUE(wait_loaded());
    const char* uri = webkit_web_view_get_uri(page_view().web_view());
    EXPECT_STREQ(uri ? uri : "", "about:blank");
}

TEST_F(PageViewTest, PagesAskingForNewWindowsAreHandedToTheBrowser) {
    struct Case {
        const char* path;
        std::string (*page)(std::string_view);
    };
    for (const Case& c : {Case{"/blank", test::blank_target_link_page}, Case{"/open", test::window_open_button_page}}) {
        SCOPED_TRACE(c.path);
        std::vector<std::string> handed_off;
        page_view().on_new_window([&](const std::string& uri) { handed_off.push_back(uri); });
        server.set_page(c.path, c.page(server.address("/elsewhere")));
        show(server.address(c.path));
        ASSERT_TRUE(wait_loaded());
        const std::size_t windows_before = Gtk::Window::list_toplevels().size();
        click_page();
        EXPECT_TRUE(test::run_until([&] { return !handed_off.empty(); }, 5s));
        ASSERT_EQ(handed_off.size(), 1u);
        EXPECT_EQ(handed_off.front(), server.address("/elsewhere"));
        test::run_for(200ms);
        EXPECT_EQ(Gtk::Window::list_toplevels().size(), windows_before) << "no second window of ours";
    }
}

TEST_F(PageViewTest, NextLoadWorksAfterThePageProcessDies) {
    show(server.address("/his.php?hisurl=one"));
    ASSERT_TRUE(wait_loaded());
    bool terminated = false;
    const gulong handler = g_signal_connect(page_view().web_view(), "web-process-terminated",
                                            G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason,
                                                           gpointer flag) { *static_cast<bool*>(flag) = true; }),
                                            &terminated);
    webkit_web_view_terminate_web_process(page_view().web_view());
    EXPECT_TRUE(test::run_until([&] { return terminated; }, 5s));
    g_signal_handler_disconnect(page_view().web_view(), handler);

    server.clear_raw_targets();
    show(server.address("/his.php?hisurl=two"));
    ASSERT_TRUE(server.wait_for_requests(1));
    EXPECT_EQ(server.raw_targets().front(), "/his.php?hisurl=two");
    EXPECT_TRUE(window().get_visible());
}

}  // namespace
}  // namespace ph
