#pragma once

// An offscreen window whose whole area is a Gtk::Fixed painted in one flat
// colour, to place widgets on at exact positions and sizes and draw them.

#include "picture.hpp"

#include <gtkmm/fixed.h>
#include <gtkmm/offscreenwindow.h>

namespace ph::test {

// Runs the main loop until GTK has nothing left to do (layout, drawing).
void settle();

class Scene {
public:
    static constexpr Colour background{0, 0, 255};

    Scene(int width, int height);

    // Places the widget at where.x/y and gives it exactly where's size.
    void put(Gtk::Widget& widget, const Area& where);

    // Draws the whole window into a fresh image, here and now.
    Picture draw();
    // What the window's own offscreen surface shows after pending redraws.
    Picture shown();

    Gtk::OffscreenWindow& window() { return window_; }
    Gtk::Fixed& fixed() { return fixed_; }

private:
    Gtk::OffscreenWindow window_;
    Gtk::Fixed fixed_;
    int width_;
    int height_;
};

}  // namespace ph::test
