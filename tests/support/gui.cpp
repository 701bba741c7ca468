#include "support/gui.hpp"

namespace ph::test {

bool run_until(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    }
    return true;
}

void run_for(std::chrono::milliseconds duration) {
    run_until([] { return false; }, duration);
}

namespace {

void send_key(Gtk::Window& window, GdkEventType type, guint keyval, GdkModifierType state) {
    GdkDisplay* display = gdk_window_get_display(window.get_window()->gobj());
    GdkEvent* event = gdk_event_new(type);
    event->key.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = keyval;
    event->key.state = state;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys, &count) && count > 0)
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

Gtk::MessageDialog* open_message_dialog() {
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
        if (auto* dialog = dynamic_cast<Gtk::MessageDialog*>(window); dialog && dialog->get_visible()) return dialog;
    return nullptr;
}

}  // namespace

void press_key(Gtk::Window& window, guint keyval, GdkModifierType state) {
    send_key(window, GDK_KEY_PRESS, keyval, state);
    send_key(window, GDK_KEY_RELEASE, keyval, state);
}

void answer_next_dialog(SeenDialog& seen, std::function<void()> while_up) {
    Glib::signal_timeout().connect(
        [&seen, while_up] {
            Gtk::MessageDialog* dialog = open_message_dialog();
            if (!dialog || !dialog->get_mapped()) return true;  // not up yet: look again
            seen.seen = true;
            seen.title = dialog->get_title();
            seen.text = dialog->property_text().get_value();
            seen.type = dialog->property_message_type().get_value();
            seen.has_parent = dialog->get_transient_for() != nullptr;
            seen.modal = dialog->get_modal();
            seen.buttons = static_cast<int>(dialog->get_action_area()->get_children().size());
            const Gtk::Widget* image = dialog->get_image();
            seen.has_image = image && image->get_visible();
            if (while_up) while_up();
            dialog->response(Gtk::RESPONSE_OK);
            return false;
        },
        20);
}

}  // namespace ph::test
