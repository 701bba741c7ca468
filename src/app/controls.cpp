#include "app/controls.hpp"

#include <cstdlib>

#include "core/codepage.hpp"

namespace ph::app {

Control& ControlRegistry::add(const ui::ControlDefinition& definition, Gtk::Widget& widget, Container parent,
                              ui::Rect placement) {
    std::visit([&](auto* container) { container->put(widget, placement.left, placement.top); }, parent);
    widget.set_size_request(placement.width, placement.height);
    controls_.push_back(Control{&definition, &widget, parent, placement, false});
    return controls_.back();
}

Control* ControlRegistry::find(ui::Role role) noexcept {
    for (Control& control : controls_)
        if (control.definition->role == role) return &control;
    return nullptr;
}

Control* ControlRegistry::find(std::string_view definition_name) noexcept {
    for (Control& control : controls_)
        if (definition_name == control.definition->name) return &control;
    return nullptr;
}

Control& ControlRegistry::at(ui::Role role) {
    Control* control = find(role);
    if (!control) std::abort();  // the handlers only name controls of the loaded window
    return *control;
}

Gtk::Entry& ControlRegistry::edit_box(ui::Role role) { return dynamic_cast<Gtk::Entry&>(*at(role).widget); }

view::PageView* ControlRegistry::page_view(ui::Role role) noexcept {
    Control* control = find(role);
    return control ? dynamic_cast<view::PageView*>(control->widget) : nullptr;
}

void ControlRegistry::apply_placement(Control& control) {
    const ui::Rect& place = control.placement;
    std::visit([&](auto* container) { container->move(*control.widget, place.left, place.top); }, control.parent);
    control.widget->set_size_request(place.width, place.height);
    show_if_visible(control);
}

// GTK gives a shown widget at least one pixel, so a control without area is
// kept unmapped until it has some again.
void ControlRegistry::show_if_visible(Control& control) {
    const ui::Rect& place = control.placement;
    control.widget->set_visible(control.visible && place.width > 0 && place.height > 0);
}

Text ControlRegistry::read_content(ui::Role box) { return text_from_utf8(edit_box(box).get_text().raw()); }

void ControlRegistry::write_content(ui::Role box, const Text& text) { edit_box(box).set_text(to_utf8(text)); }

void ControlRegistry::write_caption(const Text& text) { window_.set_title(to_utf8(text)); }

void ControlRegistry::write_address(ui::Role role, const Text& address) {
    if (view::PageView* page = page_view(role)) page->write_address(address);
}

void ControlRegistry::write_visible(ui::Role role, bool visible) {
    Control& control = at(role);
    control.visible = visible;
    show_if_visible(control);
}

void ControlRegistry::write_placement(ui::Role role, std::int32_t ui::Rect::*member, std::int32_t value) {
    Control& control = at(role);
    control.placement.*member = value;
    apply_placement(control);
}

void ControlRegistry::write_left(ui::Role role, std::int32_t left) {
    write_placement(role, &ui::Rect::left, hold_position(left));
}

void ControlRegistry::write_top(ui::Role role, std::int32_t top) {
    write_placement(role, &ui::Rect::top, hold_position(top));
}

void ControlRegistry::write_width(ui::Role role, std::int32_t width) {
    write_placement(role, &ui::Rect::width, hold_size(width));
}

void ControlRegistry::write_height(ui::Role role, std::int32_t height) {
    write_placement(role, &ui::Rect::height, hold_size(height));
}

void ControlRegistry::show_message_box(const Text& message, const Text& title) {
    // No parent, modal: the main window takes no input until it is closed.
    Gtk::MessageDialog box(to_utf8(message), false, Gtk::MESSAGE_OTHER, Gtk::BUTTONS_OK, true);
    box.set_title(to_utf8(title));
    box.set_default_response(Gtk::RESPONSE_OK);
    box.run();
}

}  // namespace ph::app
