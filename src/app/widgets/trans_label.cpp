#include "app/widgets/trans_label.hpp"

#include <atkmm/object.h>
#include <gdkmm/general.h>
#include <pangomm/layout.h>

namespace ph::app {

TransLabel::TransLabel(const Glib::ustring& text, const Pango::FontDescription& font,
                       const Gdk::RGBA& colour, bool word_wrap)
    // A type name of our own: GtkWidget itself is abstract.
    : Glib::ObjectBase("PhTransLabel"),
      Gtk::Widget(),
      text_(text),
      font_(font),
      colour_(colour),
      word_wrap_(word_wrap) {
    set_has_window(false);
    describe_for_accessibility();
}

void TransLabel::set_text(const Glib::ustring& text) {
    if (text == text_) return;
    text_ = text;
    describe_for_accessibility();
    queue_draw();
}

const Glib::ustring& TransLabel::text() const { return text_; }

void TransLabel::describe_for_accessibility() {
    const auto accessible = get_accessible();
    if (!accessible) return;
    accessible->set_role(Atk::ROLE_LABEL);
    accessible->set_name(text_);
}

bool TransLabel::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const int width = get_allocated_width();
    const int height = get_allocated_height();
    if (width <= 0 || height <= 0 || text_.empty()) return false;

    // Plain text, not markup: runs of spaces in the help text must survive.
    const auto layout = Pango::Layout::create(get_pango_context());
    layout->set_font_description(font_);
    layout->set_alignment(Pango::ALIGN_LEFT);
    if (word_wrap_) {
        layout->set_width(width * PANGO_SCALE);
        layout->set_wrap(Pango::WRAP_WORD_CHAR);
    } else {
        layout->set_single_paragraph_mode(true);
    }
    layout->set_text(text_);

    int top = 0;
    if (!word_wrap_) {
        int text_width = 0;
        int text_height = 0;
        layout->get_pixel_size(text_width, text_height);
        top = (height - text_height) / 2;
    }

    // Our own colour, never the theme's: the label looks the same when
    // insensitive, and paints nothing but its letters.
    cr->save();
    cr->rectangle(0, 0, width, height);
    cr->clip();
    Gdk::Cairo::set_source_rgba(cr, colour_);
    cr->move_to(0, top);
    layout->show_in_cairo_context(cr);
    cr->restore();
    return false;
}

Gtk::SizeRequestMode TransLabel::get_request_mode_vfunc() const {
    return Gtk::SIZE_REQUEST_CONSTANT_SIZE;
}

void TransLabel::get_preferred_width_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void TransLabel::get_preferred_height_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void TransLabel::get_preferred_width_for_height_vfunc(int, int& minimum, int& natural) const {
    minimum = natural = 0;
}

void TransLabel::get_preferred_height_for_width_vfunc(int, int& minimum, int& natural) const {
    minimum = natural = 0;
}

}  // namespace ph::app
