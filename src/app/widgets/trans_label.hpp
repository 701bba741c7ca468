#pragma once

#include <gdkmm/rgba.h>
#include <glibmm/ustring.h>
#include <gtkmm/widget.h>
#include <pangomm/fontdescription.h>

namespace ph::app {

// A text drawn straight onto its parent: no background, no window of its own
// (so mouse input goes to the parent), and the same look whether sensitive
// or not. It asks for no space (0 x 0); whoever places it gives it its size.
class TransLabel : public Gtk::Widget {
public:
    // text: UTF-8, every space kept. font: used as given; fields it leaves
    // unset (such as the family) come from the theme.
    // word_wrap true: lines broken to fit the width, from the top-left corner;
    // word_wrap false: a single line, left-aligned and centred vertically.
    TransLabel(const Glib::ustring& text, const Pango::FontDescription& font,
               const Gdk::RGBA& colour, bool word_wrap);

    void set_text(const Glib::ustring& text);
    const Glib::ustring& text() const;

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    void get_preferred_width_for_height_vfunc(int height, int& minimum, int& natural) const override;
    void get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const override;

private:
    void describe_for_accessibility();

    Glib::ustring text_;
    Pango::FontDescription font_;
    Gdk::RGBA colour_;
    bool word_wrap_;
};

}  // namespace ph::app
