// The page view: a borderless host with its own window and a white
// background, holding a web view that always covers it. Writing the address
// navigates at once; the page loads by itself afterwards.
#pragma once

#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/text.hpp"
#include "glib/handles.hpp"

namespace ph::view {

// The engine's notifications, as page view events.
enum class PageViewEvent {
    BeforeNavigate,
    NavigateComplete,
    DocumentComplete,
    DownloadBegin,
    DownloadComplete,
    ProgressChange,
    StatusTextChange,
    TitleChange,
    CommandStateChange,
    NewWindow,
};

struct PageViewSettings {
    std::int32_t text_size_level = 0;  // held to 0..4
    bool offline = false;              // refuse to fetch anything from the network
    bool silent = false;               // pages show no script dialogs
};

// Default font size for each text size level: only text that the page does
// not size itself follows it; level 2 is the engine's own 16 px.
inline constexpr std::uint32_t kTextSizeLevelFontPx[] = {12, 14, 16, 20, 24};

class PageView : public Gtk::EventBox {
public:
    // nullptr when the engine cannot make a web view; nothing is left behind.
    static PageView* create_managed(WebKitWebContext* context, const PageViewSettings& settings);
    ~PageView() override;

    // Stores the address (program code page) and asks the engine to load it,
    // unchanged: the engine escapes what it needs to. Returns at once.
    void write_address(const Text& address);
    const Text& address() const noexcept { return address_; }
    // The exact string last handed to the engine.
    const std::string& requested_uri() const noexcept { return requested_uri_; }

    void write_text_size_level(std::int32_t level);
    void write_offline(bool offline);
    void write_silent(bool silent);
    const PageViewSettings& settings() const noexcept { return settings_; }

    WebKitWebView* web_view() const noexcept { return web_view_; }

    // Where the engine's notifications go (the event dispatcher).
    void on_event(std::function<void(PageViewEvent)> sink) { event_sink_ = std::move(sink); }
    // Where addresses that a page wants in a new window go; by default the
    // user's browser. Never a second window of ours.
    void on_new_window(std::function<void(const std::string& uri)> open) { open_elsewhere_ = std::move(open); }

    // Starts the engine's page process ahead of the first load, so the first
    // query does not wait for it. Loads nothing.
    void warm_up();

protected:
    PageView(WebKitWebView* web_view, const PageViewSettings& settings);
    bool on_focus(Gtk::DirectionType direction) override;
    void on_grab_focus() override;

private:
    void raise(PageViewEvent event);
    void show_web_view();
    void open_in_browser(const std::string& uri);
    void connect_engine_signals();

    WebKitWebView* web_view_;
    // Keeps the view's memory until our signal handlers are gone, whatever
    // order the widget tree is torn down in.
    glib::GObjectPtr<WebKitWebView> web_view_ref_;
    PageViewSettings settings_;
    Text address_;
    std::string requested_uri_;
    std::function<void(PageViewEvent)> event_sink_;
    std::function<void(const std::string&)> open_elsewhere_;
};

}  // namespace ph::view
