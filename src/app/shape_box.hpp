// The view frame: a container with its own window, so the page view inside
// it is seen only where it lies within the frame. It fills itself with the
// default colour and draws a solid outline along the inside of its edge.
#pragma once

#include <gtkmm.h>

namespace ph::app {

class ShapeBox : public Gtk::Layout {
public:
    ShapeBox(const Gdk::RGBA& outline, int outline_width);

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

private:
    Gdk::RGBA outline_;
    int outline_width_;
};

}  // namespace ph::app
