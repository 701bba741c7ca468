// Which page rows the view frame shows, read off the screen: the test pages
// colour each pixel row with its own number (colour_coded_rows_page).
#pragma once

#include <gtkmm.h>

#include <vector>

namespace ph::test {

// The frame's visible size in the main window.
inline constexpr int kFrameWidth = 960;
inline constexpr int kFrameHeight = 576;
// The history page's first row that an accepted query puts at the frame's top.
inline constexpr int kFirstBandRow = 235;

// For each screen row of the frame, the page row that its left edge shows
// (-1 when the colour stands for no row), or -2 when the middle or the right
// edge disagree with it. Empty when the screen cannot be read.
std::vector<int> rows_shown_in_frame(Gtk::Widget& frame);

// Whether the frame shows exactly the band: page rows 235 to 810, edge to edge.
bool frame_shows_band(Gtk::Widget& frame);

}  // namespace ph::test
