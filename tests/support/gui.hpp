// Driving the real GTK main loop from tests: waiting, keys, and the modal
// dialogs that a handler leaves open.
#pragma once

#include <gtkmm.h>

#include <chrono>
#include <functional>
#include <string>

namespace ph::test {

// Runs the main loop until `done` holds or `timeout` passes; says which.
bool run_until(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Runs the main loop for a while, so allocations and drawing catch up.
void run_for(std::chrono::milliseconds duration);

// Sends a key press and release to the window, as the keyboard would.
void press_key(Gtk::Window& window, guint keyval, GdkModifierType state = GdkModifierType(0));

// What a message dialog showed, read while it was up.
struct SeenDialog {
    bool seen = false;
    std::string title;
    std::string text;
    Gtk::MessageType type = Gtk::MESSAGE_OTHER;
    bool has_parent = true;
    bool modal = false;
    int buttons = 0;
    bool has_image = true;
};

// Once a message dialog is up, calls `while_up` (if given), records it and
// answers it with OK. Call before the action that opens the dialog.
void answer_next_dialog(SeenDialog& seen, std::function<void()> while_up = {});

}  // namespace ph::test
