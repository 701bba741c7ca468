#include "app/main_window.hpp"

#include <gdk/gdkkeysyms.h>

#include <algorithm>

#include "view/page_view.hpp"

namespace ph::app {
namespace {

bool is_enter(guint key) { return key == GDK_KEY_Return || key == GDK_KEY_KP_Enter || key == GDK_KEY_ISO_Enter; }
bool is_tab(guint key) { return key == GDK_KEY_Tab || key == GDK_KEY_KP_Tab || key == GDK_KEY_ISO_Left_Tab; }

constexpr auto kModifiers = GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK;

}  // namespace

Point centred_origin(std::int32_t screen_width, std::int32_t screen_height, std::int32_t width,
                     std::int32_t height) noexcept {
    return {(screen_width - width) / 2, (screen_height - height) / 2};
}

MainWindow::MainWindow(const ui::WindowDefinition& definition) : definition_(definition) {
    set_resizable(definition.resizable);
    set_type_hint(Gdk::WINDOW_TYPE_HINT_NORMAL);
    // Until a window manager reports its frame, the client area is the whole window.
    client_.set_size_request(definition.outer_width, definition.outer_height);
    add(client_);
    client_.show();
}

void MainWindow::match_outer_size() {
    Glib::RefPtr<Gdk::Window> window = get_window();
    if (!window) return;
    Gdk::Rectangle frame;
    window->get_frame_extents(frame);
    const int frame_width = frame.get_width() - window->get_width();
    const int frame_height = frame.get_height() - window->get_height();
    const int client_width = definition_.outer_width - frame_width;
    const int client_height = definition_.outer_height - frame_height;
    int requested_width = 0, requested_height = 0;
    client_.get_size_request(requested_width, requested_height);
    if (client_width != requested_width || client_height != requested_height)
        client_.set_size_request(client_width, client_height);
}

bool MainWindow::on_configure_event(GdkEventConfigure* event) {
    match_outer_size();
    return Gtk::Window::on_configure_event(event);
}

Gtk::Widget* MainWindow::tab_stop_holding_focus() const {
    const Gtk::Widget* focus = get_focus();
    if (!focus) return nullptr;
    for (Gtk::Widget* stop : tab_stops_)
        if (stop == focus || focus->is_ancestor(*stop)) return stop;
    return nullptr;
}

bool MainWindow::focus_in_page_content() const {
    const Gtk::Widget* stop = tab_stop_holding_focus();
    return stop && dynamic_cast<const view::PageView*>(stop);
}

void MainWindow::focus_first_tab_stop() { move_focus_from(-1, true); }

void MainWindow::move_focus_in_cycle(bool forward) {
    const int count = static_cast<int>(tab_stops_.size());
    const auto found = std::find(tab_stops_.begin(), tab_stops_.end(), tab_stop_holding_focus());
    const int index =
        found == tab_stops_.end() ? (forward ? -1 : count) : static_cast<int>(found - tab_stops_.begin());
    move_focus_from(index, forward);
}

void MainWindow::move_focus_from(int index, bool forward) {
    const int count = static_cast<int>(tab_stops_.size());
    for (int step = 0; step < count; ++step) {
        index = (index + (forward ? 1 : -1) + count) % count;
        Gtk::Widget* candidate = tab_stops_[static_cast<std::size_t>(index)];
        if (candidate->get_visible() && candidate->is_sensitive()) {
            candidate->grab_focus();
            return;
        }
    }
}

bool MainWindow::on_key_press_event(GdkEventKey* event) {
    const guint key = event->keyval;
    // Web content claims its keys first (Tab between a page's fields, say).
    if (focus_in_page_content() && gtk_window_propagate_key_event(gobj(), event)) return true;

    if (is_tab(key) && (event->state & (kModifiers & ~GDK_SHIFT_MASK)) == 0) {
        const bool backward = key == GDK_KEY_ISO_Left_Tab || (event->state & GDK_SHIFT_MASK);
        move_focus_in_cycle(!backward);
        return true;
    }
    if (is_enter(key) || key == GDK_KEY_F1) return true;  // no default button, no help
    if (key == GDK_KEY_Escape && definition_.escape_closes) {
        close();
        return true;
    }
    return Gtk::Window::on_key_press_event(event);
}

bool MainWindow::on_focus(Gtk::DirectionType direction) {
    if (direction != Gtk::DIR_TAB_FORWARD && direction != Gtk::DIR_TAB_BACKWARD)
        return Gtk::Window::on_focus(direction);
    move_focus_in_cycle(direction == Gtk::DIR_TAB_FORWARD);
    return true;
}

bool MainWindow::on_focus_in_event(GdkEventFocus* event) {
    const bool handled = Gtk::Window::on_focus_in_event(event);
    if (!get_focus()) focus_first_tab_stop();
    return handled;
}

}  // namespace ph::app
