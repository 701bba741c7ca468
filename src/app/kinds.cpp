#include "app/kinds.hpp"

#include <algorithm>
#include <string>

#include "app/shape_box.hpp"
#include "app/widgets/trans_label.hpp"
#include "app/widgets/unbounded_entry_buffer.hpp"
#include "core/codepage.hpp"
#include "view/page_view.hpp"

namespace ph::app {
namespace {

constexpr int kEdgeHeight = 2;  // a sunken 3D edge

std::string css_colour(const ui::Rgb& rgb) {
    return "rgb(" + std::to_string(rgb.red) + "," + std::to_string(rgb.green) + "," + std::to_string(rgb.blue) + ")";
}

Gdk::RGBA rgba(const ui::Rgb& rgb) {
    Gdk::RGBA colour;
    colour.set_rgba_u(static_cast<gushort>(rgb.red * 257), static_cast<gushort>(rgb.green * 257),
                      static_cast<gushort>(rgb.blue * 257));
    return colour;
}

// The font, colours and a squeeze of the theme's padding, so that the
// widget's allocation can be exactly the definition's size.
std::string control_css(const ui::ControlDefinition& control, const char* squeeze) {
    std::string css = "* {";
    if (control.font.height_px)
        css += " font-size: " + std::to_string(*control.font.height_px) + "px; font-weight: " +
               std::to_string(control.font.weight) + ";";
    if (control.text_colour.rgb) css += " color: " + css_colour(*control.text_colour.rgb) + ";";
    if (control.background.rgb)
        css += " background-color: " + css_colour(*control.background.rgb) + "; background-image: none;";
    css += squeeze;
    return css + " }";
}

void style(Gtk::Widget& widget, const std::string& css) {
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(css);
    widget.get_style_context()->add_provider(provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

Pango::FontDescription pango_font(const ui::Font& font) {
    Pango::FontDescription description;
    if (font.height_px) description.set_absolute_size(*font.height_px * PANGO_SCALE);
    description.set_weight(static_cast<Pango::Weight>(font.weight));
    return description;
}

// GTK's CSS sizes fonts in points at the screen's resolution; these
// attributes keep the character height at its exact pixels.
Pango::AttrList font_attributes(const ui::Font& font) {
    Pango::AttrList attributes;
    if (!font.height_px) return attributes;
    PangoAttrList* list = attributes.gobj();
    pango_attr_list_insert(list, pango_attr_size_new_absolute(*font.height_px * PANGO_SCALE));
    pango_attr_list_insert(list, pango_attr_weight_new(static_cast<PangoWeight>(font.weight)));
    return attributes;
}

Gtk::Widget* make_edit_box(const ui::ControlDefinition& control) {
    auto* box = Gtk::manage(new Gtk::Entry(make_unbounded_entry_buffer()));
    box->set_has_frame(true);
    box->set_max_length(0);
    box->set_activates_default(false);
    box->set_width_chars(0);  // never wider than its row says
    box->set_max_width_chars(0);
    Pango::AttrList box_font = font_attributes(control.font);
    box->set_attributes(box_font);
    style(*box, control_css(control, " min-height: 0; min-width: 0; padding-top: 0; padding-bottom: 0;"));
    return box;
}

Gtk::Widget* make_button(const ui::ControlDefinition& control) {
    auto* button = Gtk::manage(new Gtk::Button());
    auto* caption = Gtk::manage(new Gtk::Label(to_utf8(*control.text)));
    caption->set_line_wrap(true);
    caption->set_justify(Gtk::JUSTIFY_CENTER);
    caption->set_halign(Gtk::ALIGN_CENTER);
    caption->set_valign(Gtk::ALIGN_CENTER);
    Pango::AttrList caption_font = font_attributes(control.font);
    caption->set_attributes(caption_font);
    button->add(*caption);
    caption->show();
    button->set_can_default(false);
    style(*button, control_css(control, " min-height: 0; min-width: 0; padding: 0;"));
    return button;
}

Gtk::Widget* make_label(const ui::ControlDefinition& control) {
    const auto& settings = std::get<ui::LabelSettings>(control.settings);
    const ui::Rgb colour = control.text_colour.rgb.value_or(ui::Rgb{0, 0, 0});
    return Gtk::manage(
        new TransLabel(to_utf8(*control.text), pango_font(control.font), rgba(colour), settings.word_wrap));
}

Gtk::Widget* make_shape_box(const ui::ControlDefinition& control) {
    const auto& settings = std::get<ui::ShapeBoxSettings>(control.settings);
    return Gtk::manage(new ShapeBox(rgba(settings.outline), settings.outline_width));
}

Gtk::Widget* make_page_view(const ui::ControlDefinition& control, WebKitWebContext* engine) {
    const auto& settings = std::get<ui::PageViewSettings>(control.settings);
    view::PageView* page = view::PageView::create_managed(
        engine, view::PageViewSettings{settings.text_size_level, settings.offline, settings.silent});
    if (page && settings.address && text_size(*settings.address) > 0) page->write_address(*settings.address);
    return page;
}

}  // namespace

int edit_box_height(Gtk::Widget& box, int defined_height) {
    int text_width = 0, text_height = 0;
    box.create_pango_layout("Xg")->get_pixel_size(text_width, text_height);
    return std::max(defined_height, text_height + 2 * kEdgeHeight);
}

Gtk::Widget* make_control(const ui::ControlDefinition& control, WebKitWebContext* engine) {
    switch (control.kind) {
    case ui::ControlKind::EditBox: return make_edit_box(control);
    case ui::ControlKind::Button: return make_button(control);
    case ui::ControlKind::TransLabel: return make_label(control);
    case ui::ControlKind::ShapeBox: return make_shape_box(control);
    case ui::ControlKind::HtmlViewer: return make_page_view(control, engine);
    }
    return nullptr;
}

}  // namespace ph::app
