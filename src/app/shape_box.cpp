#include "app/shape_box.hpp"

namespace ph::app {

ShapeBox::ShapeBox(const Gdk::RGBA& outline, int outline_width) : outline_(outline), outline_width_(outline_width) {}

bool ShapeBox::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    if (gtk_cairo_should_draw_window(cr->cobj(), get_bin_window()->gobj())) {
        const double width = get_allocated_width();
        const double height = get_allocated_height();
        get_style_context()->render_background(cr, 0, 0, width, height);
        const double half = outline_width_ / 2.0;
        cr->set_source_rgba(outline_.get_red(), outline_.get_green(), outline_.get_blue(), outline_.get_alpha());
        cr->set_line_width(outline_width_);
        cr->rectangle(half, half, width - outline_width_, height - outline_width_);
        cr->stroke();
    }
    return Gtk::Layout::on_draw(cr);  // the page view on top
}

}  // namespace ph::app
