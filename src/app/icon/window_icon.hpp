#pragma once

#include <gdkmm/pixbuf.h>

namespace ph::app {

// The program's 32 x 32 window icon (RGBA), taken from the resources built
// into the program. Needs gtkmm's wrappers set up (a Gtk::Application or
// Gtk::Main::init_gtkmm_internals()).
Glib::RefPtr<Gdk::Pixbuf> load_window_icon();

}  // namespace ph::app
