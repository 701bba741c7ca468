#include "frame_rows.hpp"

#include "test_http_server.hpp"

namespace ph::test {

std::vector<int> rows_shown_in_frame(Gtk::Widget& frame) {
    std::vector<int> rows;
    Glib::RefPtr<Gdk::Window> window = frame.get_window();
    if (!window) return rows;
    int x = 0, y = 0;
    window->get_origin(x, y);
    Glib::RefPtr<Gdk::Pixbuf> shot =
        Gdk::Pixbuf::create(Gdk::Window::get_default_root_window(), x, y, kFrameWidth, kFrameHeight);
    if (!shot) return rows;
    const guint8* pixels = shot->get_pixels();
    const int stride = shot->get_rowstride(), channels = shot->get_n_channels();
    for (int row = 0; row < kFrameHeight; ++row) {
        int shown = -1;
        for (int column : {0, kFrameWidth / 2, kFrameWidth - 1}) {
            const guint8* p = pixels + row * stride + column * channels;
            const int here = row_from_colour(p[0], p[1], p[2]);
            if (column == 0)
                shown = here;
            else if (here != shown)
                shown = -2;
        }
        rows.push_back(shown);
    }
    return rows;
}

bool frame_shows_band(Gtk::Widget& frame) {
    const std::vector<int> rows = rows_shown_in_frame(frame);
    if (rows.size() != static_cast<std::size_t>(kFrameHeight)) return false;
    for (int row = 0; row < kFrameHeight; ++row)
        if (rows[static_cast<std::size_t>(row)] != kFirstBandRow + row) return false;
    return true;
}

}  // namespace ph::test
