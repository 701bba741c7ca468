// Builds the main window from its definition: controls created hidden from
// the last row to the first, each put straight into its parent, so the first
// row ends up on top; then the visible ones are shown.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/controls.hpp"
#include "app/main_window.hpp"

namespace ph::app {

struct BuiltWindow {
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<ControlRegistry> controls;
    std::string failed_control;  // the definition name of a control that could not be made
};

// Makes one control's widget (managed), or nullptr.
using ControlFactory = std::function<Gtk::Widget*(const ui::ControlDefinition&)>;

// The window is left hidden, with events raised by the controls going to the
// event gate. On failure `window` is empty and nothing is left behind.
BuiltWindow build_window(const ui::WindowDefinition& definition, const ControlFactory& make);

}  // namespace ph::app
