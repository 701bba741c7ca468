// What the handlers may do to the window: every read and write names a
// control by its role. Texts handed in stay the caller's (the control keeps
// a copy); texts handed out are the caller's to release.
#pragma once

#include <cstdint>

#include "core/text.hpp"
#include "ui/window_definition.hpp"

namespace ph::ui {

// Placements are held to these bounds, never rejected.
inline constexpr std::int32_t kPlacementLimit = 32627;

class ControlOperations {
public:
    virtual ~ControlOperations() = default;

    // An edit box's content as shown now; absent when the box is empty.
    virtual Text read_content(Role box) = 0;
    // An absent text empties the box. Raises no event.
    virtual void write_content(Role box, const Text& text) = 0;
    virtual void write_caption(const Text& text) = 0;
    // Stores the page view's address and starts loading it; returns at once.
    virtual void write_address(Role page_view, const Text& address) = 0;
    virtual void write_visible(Role control, bool visible) = 0;
    // Left and top are held to -32627..32627, width and height to 0..32627.
    virtual void write_left(Role control, std::int32_t left) = 0;
    virtual void write_top(Role control, std::int32_t top) = 0;
    virtual void write_width(Role control, std::int32_t width) = 0;
    virtual void write_height(Role control, std::int32_t height) = 0;
    // The modal message box with one OK button; returns when it is closed.
    virtual void show_message_box(const Text& message, const Text& title) = 0;
};

// The operations of the loaded window, for the handlers; the application
// installs them while the window exists (tests install their own).
ControlOperations& controls();
void install_controls(ControlOperations* operations) noexcept;

}  // namespace ph::ui
