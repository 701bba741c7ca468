// The running program against faults around it: a page process that dies,
// a service that is down, slow or silent, and links at the edges of what the
// link box holds. The real window and engine, and a service of our own on
// the program's service host (127.0.0.1:8936).
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.hpp"
#include "core/texts.hpp"
#include "frame_rows.hpp"
#include "history_service.hpp"
#include "loaded_window.hpp"
#include "test_http_server.hpp"

namespace ph {
namespace {

using namespace std::chrono_literals;
using test::TestHttpServer;
using ui::Role;

using test::kQueryPath;
using test::kServicePort;

// --- the engine's page processes ----------------------------------------------

struct ProcessEntry {
    pid_t pid = 0;
    pid_t parent = 0;
    std::string name;  // as the kernel shortens it
};

std::optional<ProcessEntry> read_process(const std::filesystem::path& folder) {
    std::ifstream stat(folder / "stat");
    std::string line;
    if (!std::getline(stat, line)) return std::nullopt;
    // "pid (name) state parent ...": the name may itself hold ") ".
    const auto open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return std::nullopt;
    ProcessEntry entry;
    char state = 0;
    if (std::sscanf(line.c_str(), "%d", &entry.pid) != 1 ||
        std::sscanf(line.c_str() + close + 1, " %c %d", &state, &entry.parent) != 2)
        return std::nullopt;
    entry.name = line.substr(open + 1, close - open - 1);
    return entry;
}

// The engine's page processes started for this test program: children of
// ours, or of the sandbox that we start them in.
std::vector<pid_t> our_page_processes() {
    std::vector<ProcessEntry> all;
    std::error_code error;
    for (const auto& folder : std::filesystem::directory_iterator("/proc", error))
        if (auto entry = read_process(folder.path())) all.push_back(*entry);
    auto parent_of = [&](pid_t pid) -> pid_t {
        for (const ProcessEntry& entry : all)
            if (entry.pid == pid) return entry.parent;
        return 0;
    };
    std::vector<pid_t> ours;
    for (const ProcessEntry& entry : all) {
        if (entry.name.rfind("WebKitWebProces", 0) != 0) continue;
        for (pid_t up = entry.parent; up > 1; up = parent_of(up))
            if (up == getpid()) {
                ours.push_back(entry.pid);
                break;
            }
    }
    return ours;
}

// Counts what the engine tells the web view about failed loads and page
// processes that ended; lets go of the view when it goes.
class EngineWatch {
public:
    explicit EngineWatch(WebKitWebView* view) : view_(view) {
        g_signal_connect(view, "web-process-terminated",
                         G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer self) {
                             auto& watch = *static_cast<EngineWatch*>(self);
                             ++watch.terminations;
                             watch.last_reason = reason;
                         }),
                         this);
        g_signal_connect(view, "load-failed",
                         G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer self) -> gboolean {
                             ++static_cast<EngineWatch*>(self)->failed_loads;
                             return FALSE;  // the engine shows what it shows
                         }),
                         this);
    }
    ~EngineWatch() { g_signal_handlers_disconnect_by_data(view_, this); }
    EngineWatch(const EngineWatch&) = delete;
    EngineWatch& operator=(const EngineWatch&) = delete;

    int terminations = 0;
    WebKitWebProcessTerminationReason last_reason = WEBKIT_WEB_PROCESS_CRASHED;
    int failed_loads = 0;

private:
    WebKitWebView* view_;
};

// --- the fixture ----------------------------------------------------------------

class FaultTest : public test::LoadedWindow {
protected:
    void SetUp() override {
        start_service();
        LoadedWindow::SetUp();
    }
    void TearDown() override {
        LoadedWindow::TearDown();
        server.reset();
    }

    void start_service() { server = std::make_unique<TestHttpServer>(kServicePort); }
    void stop_service() { server.reset(); }

    void click(Role button) { dynamic_cast<Gtk::Button&>(widget(button)).clicked(); }
    // Types the link (UTF-8) and clicks Query, as the user would.
    void query(const std::string& link) {
        entry(Role::LinkBox).set_text(link);
        click(Role::QueryButton);
    }
    // Waits for the load to end with the frame showing the history page's
    // band, read off the screen.
    bool band_shows() {
        return test::run_until(
            [&] {
                test::run_for(100ms);
                return !loading() && test::frame_shows_band(widget(Role::ViewFrame));
            },
            30s);
    }
    // Queries the link and waits for its request and then its band, so a band
    // still on the screen from before does not count.
    bool query_shows_band(const std::string& link) {
        server->clear_raw_targets();
        query(link);
        if (!server->wait_for_requests(1, 30s)) return false;
        EXPECT_EQ(server->raw_targets().front(), std::string(kQueryPath) + link);
        return band_shows();
    }
    bool loading() { return webkit_web_view_is_loading(page_view().web_view()); }

    // Shown top-level windows: only the main window unless something was reported.
    static int shown_windows() {
        int shown = 0;
        for (const Gtk::Window* w : Gtk::Window::list_toplevels()) shown += w->get_visible() ? 1 : 0;
        return shown;
    }
    // The program reported nothing and still takes input: Clear empties the
    // link box, keys typed into it arrive, Tab moves the focus on.
    void expect_quiet_and_responsive() {
        EXPECT_TRUE(window().get_visible());
        EXPECT_EQ(shown_windows(), 1) << "no message box, no error report";
        click(Role::ClearButton);
        EXPECT_EQ(entry(Role::LinkBox).get_text(), "");
        widget(Role::LinkBox).grab_focus();
        for (guint key : {GDK_KEY_o, GDK_KEY_k}) test::press_key(window(), key);
        EXPECT_EQ(entry(Role::LinkBox).get_text(), "ok");
        test::press_key(window(), GDK_KEY_Tab);
        EXPECT_EQ(window().get_focus(), &widget(Role::ClearButton));
    }

    std::unique_ptr<TestHttpServer> server;
};

// --- a page process that dies ----------------------------------------------------

TEST_F(FaultTest, PageProcessKilledWhileShowingOrLoadingTenTimes) {
    EngineWatch watch(page_view().web_view());
    for (int round = 0; round < 10; ++round) {
        const bool while_loading = round % 2 == 1;
        SCOPED_TRACE(testing::Message() << "round " << round << (while_loading ? ", loading" : ", showing"));
        const std::string link = "https://shop.example/item?id=" + std::to_string(round);
        if (while_loading) {
            server->answer_never();
            query(link);
            ASSERT_TRUE(test::run_until([&] { return server->held_count() == 1; }, 30s));
            EXPECT_TRUE(loading());
        } else {
            ASSERT_TRUE(query_shows_band(link));
        }

        const std::vector<pid_t> processes = our_page_processes();
        ASSERT_FALSE(processes.empty()) << "no page process of ours found";
        const int terminations_before = watch.terminations;
        for (pid_t pid : processes) kill(pid, SIGKILL);
        ASSERT_TRUE(test::run_until([&] { return watch.terminations > terminations_before; }, 30s));
        EXPECT_EQ(watch.last_reason, WEBKIT_WEB_PROCESS_CRASHED);
        test::run_for(300ms);  // time for anything that would report it
        expect_quiet_and_responsive();

        server->answer_at_once();
        ASSERT_TRUE(query_shows_band(link + "&again"));
    }
}

// --- a service that is down, slow or silent ----------------------------------------

TEST_F(FaultTest, ServiceDownThenUpAgain) {
    stop_service();
    EngineWatch watch(page_view().web_view());
    query("https://shop.example/item?id=down");
    EXPECT_TRUE(test::run_until([&] { return watch.failed_loads > 0 && !loading(); }, 30s));
    EXPECT_EQ(entry(Role::SchemeBox).get_text(), "https");
    EXPECT_TRUE(widget(Role::PageView).get_visible());
    test::run_for(300ms);
    expect_quiet_and_responsive();

    start_service();
    EXPECT_TRUE(query_shows_band("https://shop.example/item?id=up"));
}

struct PendingCase {
    const char* name;
    std::optional<std::chrono::milliseconds> answer_after;  // none: never answers
};

class PendingAnswerTest : public FaultTest, public testing::WithParamInterface<PendingCase> {};

TEST_P(PendingAnswerTest, WindowStaysResponsiveWhileTheAnswerIsPending) {
    const PendingCase& c = GetParam();
    if (c.answer_after)
        server->answer_after(*c.answer_after);
    else
        server->answer_never();
    query("https://shop.example/item?id=pending");  // the handler has returned
    ASSERT_TRUE(test::run_until([&] { return server->held_count() == 1; }, 30s));
    EXPECT_TRUE(loading());
    expect_quiet_and_responsive();
    entry(Role::LinkBox).set_text("https://shop.example/次");
    EXPECT_EQ(entry(Role::LinkBox).get_text(), "https://shop.example/次");

    if (c.answer_after) {
        EXPECT_TRUE(band_shows());
    } else {
        test::run_for(1s);
        EXPECT_TRUE(loading());
        EXPECT_EQ(server->held_count(), 1u);
        // The next query replaces the pending one and shows its band.
        server->answer_at_once();
        EXPECT_TRUE(query_shows_band("https://shop.example/item?id=next"));
    }
    EXPECT_EQ(shown_windows(), 1);
}

INSTANTIATE_TEST_SUITE_P(Service, PendingAnswerTest,
                         testing::Values(PendingCase{"slow", 5s}, PendingCase{"silent", std::nullopt}),
                         [](const testing::TestParamInfo<PendingCase>& info) { return info.param.name; });

// --- links at the edges ----------------------------------------------------------------

// The link's bytes in front of its first "://".
std::string scheme_of(std::string_view link) {
    const auto at = link.find("://");
    return at == std::string_view::npos ? "" : std::string(link.substr(0, at));
}

bool is_unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// What reaches the service of a link at the end of the history address's
// query, by the URL rules the engine follows: trailing controls and spaces
// are stripped, tabs and line breaks dropped, '#' starts the fragment, which
// is not sent; controls, space, quotes, angle brackets and every byte past
// '~' are percent-encoded. Escapes typed in the link come out upper-case,
// those of unreserved characters decoded.
std::string sent_form(std::string_view link) {
    while (!link.empty() && static_cast<unsigned char>(link.back()) <= 0x20) link.remove_suffix(1);
    std::string kept;
    for (char c : link)
        if (c != '\t' && c != '\n' && c != '\r') kept += c;
    kept = kept.substr(0, kept.find('#'));

    constexpr char kHex[] = "0123456789ABCDEF";
    std::string sent;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const auto c = static_cast<unsigned char>(kept[i]);
        if (c == '%' && i + 2 < kept.size() && hex_value(kept[i + 1]) >= 0 && hex_value(kept[i + 2]) >= 0) {
            const auto decoded = static_cast<unsigned char>(hex_value(kept[i + 1]) * 16 + hex_value(kept[i + 2]));
            if (is_unreserved(decoded))
                sent += static_cast<char>(decoded);
            else
                sent += {'%', kHex[decoded >> 4], kHex[decoded & 15]};
            i += 2;
        } else if (c <= 0x20 || c > 0x7E || c == '"' || c == '\'' || c == '<' || c == '>') {
            sent += {'%', kHex[c >> 4], kHex[c & 15]};
        } else {
            sent += static_cast<char>(c);
        }
    }
    return sent;
}

// `start` followed by copies of `filler` (one character) up to `characters` characters.
std::string link_of_length(std::string start, std::string_view filler, std::size_t characters) {
    std::size_t count = g_utf8_strlen(start.c_str(), -1);
    for (; count < characters; ++count) start += filler;
    return start;
}

struct LinkCase {
    const char* name;
    std::string link;  // as typed, UTF-8
    bool accepted;
};

class LinkTest : public FaultTest, public testing::WithParamInterface<LinkCase> {};

TEST_P(LinkTest, SchemeBoxAndRequestKeepWhatTheLinkBoxHolds) {
    const LinkCase& c = GetParam();
    entry(Role::LinkBox).set_text(c.link);
    const std::string held = entry(Role::LinkBox).get_text();
    ASSERT_EQ(held, c.link);

    test::SeenDialog seen;
    if (!c.accepted) test::answer_next_dialog(seen);
    click(Role::QueryButton);
    EXPECT_EQ(entry(Role::SchemeBox).get_text(), scheme_of(held));
    EXPECT_EQ(entry(Role::LinkBox).get_text(), held);
    if (!c.accepted) {
        EXPECT_TRUE(seen.seen);
        test::run_for(100ms);
        EXPECT_TRUE(server->raw_targets().empty());
        return;
    }
    EXPECT_EQ(page_view().requested_uri(), to_utf8(texts::query_prefix) + held);
    ASSERT_TRUE(server->wait_for_requests(1, 30s));
    EXPECT_EQ(server->raw_targets().front(), std::string(kQueryPath) + sent_form(held));
    EXPECT_EQ(shown_windows(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkTest,
    testing::Values(
        // Longer than the toolkit's own entry would hold. The service sees
        // the request line, though libsoup answers no request head over 64 KiB.
        LinkCase{"AsciiOf65535", link_of_length("http://shop.example/item?id=", "7", 65535), true},
        LinkCase{"FtpOf65535", link_of_length("ftp://shop.example/item?id=", "7", 65535), false},
        LinkCase{"ExtensionBSchemeOf65535", link_of_length("", "\U00020000", 65535) + "://a", false},
        LinkCase{"Controls", "http://a/b?x=\x01y\x1f" "z\x7f&w=1", true},
        LinkCase{"TabAndLineBreaks", "http://a/\tb\nc\rd", true},
        LinkCase{"TrailingControlsAndSpace", "http://a/b\x7f \x01 ", true},
        LinkCase{"RightToLeftMarks", "http://a/\u200F商品\u202Eid=1", true},
        LinkCase{"Emoji", "https://a/🍄👍🏽?q=😀", true},
        LinkCase{"ExtensionB", "https://a/\U00020000\U0002A6D6", true},
        LinkCase{"QuotesAndBrackets", "http://a/'\"<>`{}|^\\[]", true},
        LinkCase{"TypedEscapes", "http://a/%41%7e%2F%e5%95%86%zz%", true},
        LinkCase{"SpaceAndFragments", "http://a/b c#d#e", true},
        LinkCase{"MarkBeforeScheme", "\u200Fhttp://a", false},
        LinkCase{"ControlInScheme", "http\x01://a", false},
        LinkCase{"TabInScheme", "https\t://a", false},
        LinkCase{"ExtensionBScheme", "\U00020000://a", false}),
    [](const testing::TestParamInfo<LinkCase>& info) { return info.param.name; });

}  // namespace
}  // namespace ph
