// The main window: a fixed-size top-level whose client area places its
// controls at exact pixels, with the window's own key and focus rules.
#pragma once

#include <gtkmm.h>

#include <cstdint>
#include <vector>

#include "ui/window_definition.hpp"

namespace ph::app {

struct Point {
    std::int32_t x, y;
};

// Where a window of outer size `width` x `height` starts so that it is
// centred on a screen: integer division, so it may start off screen.
Point centred_origin(std::int32_t screen_width, std::int32_t screen_height, std::int32_t width,
                     std::int32_t height) noexcept;

class MainWindow : public Gtk::Window {
public:
    explicit MainWindow(const ui::WindowDefinition& definition);

    // Where the main window's controls go, at their left and top.
    Gtk::Fixed& client() noexcept { return client_; }

    // The tab stops in tab order; those hidden or disabled at the moment of
    // a Tab are passed over.
    void set_tab_stops(std::vector<Gtk::Widget*> stops) { tab_stops_ = std::move(stops); }
    // Moves the focus one tab stop on (forward) or back; wraps around.
    void move_focus_in_cycle(bool forward);
    // The first available tab stop takes the focus: when the window is shown,
    // and whenever it is activated with no focus of its own left.
    void focus_first_tab_stop();

protected:
    bool on_key_press_event(GdkEventKey* event) override;
    bool on_focus_in_event(GdkEventFocus* event) override;
    bool on_configure_event(GdkEventConfigure* event) override;
    // Web content hands the focus back this way when Tab leaves the page.
    bool on_focus(Gtk::DirectionType direction) override;

private:
    Gtk::Widget* tab_stop_holding_focus() const;
    // Focuses the first available stop after `index` in the given direction.
    void move_focus_from(int index, bool forward);
    bool focus_in_page_content() const;
    void match_outer_size();

    const ui::WindowDefinition& definition_;
    Gtk::Fixed client_;
    std::vector<Gtk::Widget*> tab_stops_;
};

}  // namespace ph::app
