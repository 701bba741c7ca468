#pragma once

#include <glibmm/refptr.h>
#include <gtkmm/entrybuffer.h>

namespace ph::app {

// A text store for single-line boxes without the toolkit's own cap: GTK's
// default entry buffer stops at 65,535 bytes and silently cuts a pasted
// link back to fit, which would then be queried cut short. This one holds
// any length, in characters as the box counts them.
Glib::RefPtr<Gtk::EntryBuffer> make_unbounded_entry_buffer();

}  // namespace ph::app
