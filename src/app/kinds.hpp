// One widget per kind of control, made from its row of the definition.
#pragma once

#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include "ui/window_definition.hpp"

namespace ph::app {

// A new managed widget for the control, hidden, or nullptr when it cannot be made.
Gtk::Widget* make_control(const ui::ControlDefinition& control, WebKitWebContext* engine);

// A single-line edit box is never lower than its font's text height plus
// two 3D edges.
int edit_box_height(Gtk::Widget& box, int defined_height);

}  // namespace ph::app
