// The loaded window's controls by role and by name, and the control
// operations on them. Each control keeps its last written placement and
// visibility; the widget follows at once.
#pragma once

#include <gtkmm.h>

#include <algorithm>
#include <string_view>
#include <variant>
#include <vector>

#include "app/main_window.hpp"
#include "ui/control_operations.hpp"
#include "view/page_view.hpp"

namespace ph::app {

constexpr std::int32_t hold_position(std::int32_t value) noexcept {
    return std::clamp(value, -ui::kPlacementLimit, ui::kPlacementLimit);
}
constexpr std::int32_t hold_size(std::int32_t value) noexcept { return std::clamp(value, 0, ui::kPlacementLimit); }

// A control's parent container: the main window's client area or a frame.
using Container = std::variant<Gtk::Fixed*, Gtk::Layout*>;

struct Control {
    const ui::ControlDefinition* definition;
    Gtk::Widget* widget;  // owned by the widget tree
    Container parent;
    ui::Rect placement;
    bool visible;
};

class ControlRegistry : public ui::ControlOperations {
public:
    explicit ControlRegistry(MainWindow& window) : window_(window) {}

    // Puts the widget into its parent at its defined place and size, hidden.
    Control& add(const ui::ControlDefinition& definition, Gtk::Widget& widget, Container parent, ui::Rect placement);

    Control* find(ui::Role role) noexcept;
    Control* find(std::string_view definition_name) noexcept;
    const std::vector<Control>& all() const noexcept { return controls_; }
    MainWindow& window() noexcept { return window_; }
    view::PageView* page_view(ui::Role role) noexcept;

    Text read_content(ui::Role box) override;
    void write_content(ui::Role box, const Text& text) override;
    void write_caption(const Text& text) override;
    void write_address(ui::Role page_view, const Text& address) override;
    void write_visible(ui::Role control, bool visible) override;
    void write_left(ui::Role control, std::int32_t left) override;
    void write_top(ui::Role control, std::int32_t top) override;
    void write_width(ui::Role control, std::int32_t width) override;
    void write_height(ui::Role control, std::int32_t height) override;
    void show_message_box(const Text& message, const Text& title) override;

private:
    Control& at(ui::Role role);
    Gtk::Entry& edit_box(ui::Role role);
    // Stores one held edge or size of the placement and moves the widget.
    void write_placement(ui::Role role, std::int32_t ui::Rect::*member, std::int32_t value);
    void apply_placement(Control& control);
    void show_if_visible(Control& control);

    MainWindow& window_;
    std::vector<Control> controls_;
};

}  // namespace ph::app
