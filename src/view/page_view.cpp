#include "view/page_view.hpp"

#include <algorithm>

#include "core/codepage.hpp"

namespace ph::view {
namespace {

std::int32_t held_level(std::int32_t level) { return std::clamp<std::int32_t>(level, 0, 4); }

// A navigation's target address, or "" when it has none.
std::string action_uri(WebKitNavigationAction* action) {
    WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    return uri ? uri : "";
}

bool is_local_page(const std::string& uri) {
    return uri.rfind("about:", 0) == 0 || uri.rfind("data:", 0) == 0;
}

void apply_css(Gtk::Widget& widget, const char* css) {
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(css);
    widget.get_style_context()->add_provider(provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace

PageView* PageView::create_managed(WebKitWebContext* context, const PageViewSettings& settings) {
    GtkWidget* widget = webkit_web_view_new_with_context(context);
    if (!widget) return nullptr;
    return Gtk::manage(new PageView(WEBKIT_WEB_VIEW(widget), settings));
}

PageView::PageView(WebKitWebView* web_view, const PageViewSettings& settings)
    : web_view_(web_view), web_view_ref_(glib::adopt(g_object_ref_sink(web_view))) {
    set_visible_window(true);
    set_above_child(false);
    apply_css(*this, "* { background-color: #ffffff; border-width: 0; padding: 0; }");

    WebKitSettings* engine = webkit_web_view_get_settings(web_view_);
    // With acceleration the engine paints nothing into views this tall.
    webkit_settings_set_hardware_acceleration_policy(engine, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);

    // The web view shows from the first page on (show_web_view): shown
    // before, the engine would paint the empty page at the view's full size
    // the moment a query makes it visible, and then paint it all again for
    // the page that came.
    gtk_container_add(GTK_CONTAINER(gobj()), GTK_WIDGET(web_view_));
    connect_engine_signals();

    write_offline(settings.offline);
    write_silent(settings.silent);
    write_text_size_level(settings.text_size_level);
}

void PageView::write_address(const Text& address) {
    address_ = Text::stored(address.bytes());
    requested_uri_ = to_utf8(address_);
    webkit_web_view_load_uri(web_view_, requested_uri_.c_str());
}

void PageView::write_text_size_level(std::int32_t level) {
    settings_.text_size_level = held_level(level);
    webkit_settings_set_default_font_size(webkit_web_view_get_settings(web_view_),
                                          kTextSizeLevelFontPx[settings_.text_size_level]);
}

void PageView::write_offline(bool offline) { settings_.offline = offline; }

void PageView::write_silent(bool silent) { settings_.silent = silent; }

void PageView::warm_up() {
    webkit_web_view_evaluate_javascript(web_view_, "", 0, nullptr, nullptr, nullptr, nullptr, nullptr);
}

bool PageView::on_focus(Gtk::DirectionType) {
    gtk_widget_grab_focus(GTK_WIDGET(web_view_));
    return true;
}

void PageView::on_grab_focus() { gtk_widget_grab_focus(GTK_WIDGET(web_view_)); }

void PageView::show_web_view() { gtk_widget_show(GTK_WIDGET(web_view_)); }

void PageView::raise(PageViewEvent event) {
    if (event_sink_) event_sink_(event);
}

void PageView::open_in_browser(const std::string& uri) {
    raise(PageViewEvent::NewWindow);
    if (uri.empty()) return;
    if (open_elsewhere_) {
        open_elsewhere_(uri);
        return;
    }
    GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(gobj()));
    GError* error = nullptr;
    gtk_show_uri_on_window(GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr, uri.c_str(),
                           GDK_CURRENT_TIME, &error);
    if (error) g_error_free(error);  // nothing to tell the user: the page simply stays
}

void PageView::connect_engine_signals() {
    auto self = static_cast<gpointer>(this);
    g_signal_connect(web_view_, "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer data) {
                         auto* view = static_cast<PageView*>(data);
                         switch (event) {
                         case WEBKIT_LOAD_STARTED: view->raise(PageViewEvent::BeforeNavigate);
                                                   view->raise(PageViewEvent::DownloadBegin); break;
                         case WEBKIT_LOAD_COMMITTED: view->show_web_view();
                                                     view->raise(PageViewEvent::NavigateComplete); break;
                         case WEBKIT_LOAD_FINISHED: view->raise(PageViewEvent::DownloadComplete);
                                                    view->raise(PageViewEvent::DocumentComplete); break;
                         default: break;
                         }
                     }),
                     self);
    // A load that fails before it commits shows the engine's error page.
    g_signal_connect(web_view_, "load-failed",
                     G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer data) -> gboolean {
                         static_cast<PageView*>(data)->show_web_view();
                         return FALSE;
                     }),
                     self);
    g_signal_connect(web_view_, "notify::estimated-load-progress",
                     G_CALLBACK(+[](GObject*, GParamSpec*, gpointer data) {
                         static_cast<PageView*>(data)->raise(PageViewEvent::ProgressChange);
                     }),
                     self);
    g_signal_connect(web_view_, "notify::title", G_CALLBACK(+[](GObject*, GParamSpec*, gpointer data) {
                         static_cast<PageView*>(data)->raise(PageViewEvent::TitleChange);
                     }),
                     self);
    g_signal_connect(web_view_, "notify::uri", G_CALLBACK(+[](GObject*, GParamSpec*, gpointer data) {
                         static_cast<PageView*>(data)->raise(PageViewEvent::CommandStateChange);
                     }),
                     self);
    g_signal_connect(web_view_, "mouse-target-changed",
                     G_CALLBACK(+[](WebKitWebView*, WebKitHitTestResult*, guint, gpointer data) {
                         static_cast<PageView*>(data)->raise(PageViewEvent::StatusTextChange);
                     }),
                     self);
    // A link with target=_blank asks for a new window through the policy; a
    // script's window.open through "create". Both go to the user's browser.
    g_signal_connect(web_view_, "decide-policy",
                     G_CALLBACK(+[](WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                    gpointer data) -> gboolean {
                         auto* view = static_cast<PageView*>(data);
                         if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
                             auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
                             view->open_in_browser(
                                 action_uri(webkit_navigation_policy_decision_get_navigation_action(navigation)));
                             webkit_policy_decision_ignore(decision);
                             return TRUE;
                         }
                         if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && view->settings_.offline) {
                             auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
                             if (!is_local_page(
                                     action_uri(webkit_navigation_policy_decision_get_navigation_action(navigation)))) {
                                 webkit_policy_decision_ignore(decision);
                                 return TRUE;
                             }
                         }
                         return FALSE;
                     }),
                     self);
    g_signal_connect(web_view_, "create",
                     G_CALLBACK(+[](WebKitWebView*, WebKitNavigationAction* action, gpointer data) -> GtkWidget* {
                         static_cast<PageView*>(data)->open_in_browser(action_uri(action));
                         return nullptr;
                     }),
                     self);
    g_signal_connect(web_view_, "script-dialog",
                     G_CALLBACK(+[](WebKitWebView*, WebKitScriptDialog*, gpointer data) -> gboolean {
                         return static_cast<PageView*>(data)->settings_.silent ? TRUE : FALSE;
                     }),
                     self);
    // "web-process-terminated" stays unhandled on purpose: a page process that
    // dies is neither reported nor restarted, and the next load starts anew.
}

PageView::~PageView() { g_signal_handlers_disconnect_by_data(web_view_, this); }

}  // namespace ph::view
