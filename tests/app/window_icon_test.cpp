#include "app/icon/window_icon.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

struct Pixel {
    int red;
    int green;
    int blue;
    int alpha;
};

Pixel pixel_at(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf, int x, int y) {
    const guint8* p = pixbuf->get_pixels() + y * pixbuf->get_rowstride() + x * pixbuf->get_n_channels();
    return {p[0], p[1], p[2], p[3]};
}

bool is_yellow(const Pixel& p) { return p.alpha == 255 && p.red > 220 && p.green > 170 && p.blue < 90; }

bool is_brown(const Pixel& p) {
    return p.alpha == 255 && p.red > 90 && p.red < 190 && p.green < p.red * 0.8 && p.blue < p.green * 0.6;
}

TEST(WindowIcon, IsA32PixelImageWithAlpha) {
    const auto icon = ph::app::load_window_icon();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->get_width(), 32);
    EXPECT_EQ(icon->get_height(), 32);
    EXPECT_TRUE(icon->get_has_alpha());
    EXPECT_EQ(icon->get_n_channels(), 4);
    EXPECT_EQ(icon->get_bits_per_sample(), 8);
}

TEST(WindowIcon, ShowsAStripedCapOnATransparentBackground) {
    const auto icon = ph::app::load_window_icon();
    ASSERT_TRUE(icon);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {31, 0}, {0, 31}, {31, 31}})
        EXPECT_EQ(pixel_at(icon, x, y).alpha, 0) << "corner " << x << "," << y;

    // Down the middle of the cap: yellow, a brown band, yellow, a brown band.
    EXPECT_TRUE(is_yellow(pixel_at(icon, 16, 5)));
    EXPECT_TRUE(is_brown(pixel_at(icon, 16, 9)));
    EXPECT_TRUE(is_yellow(pixel_at(icon, 16, 12)));
    EXPECT_TRUE(is_brown(pixel_at(icon, 16, 15)));
    // The bands run across the cap.
    EXPECT_TRUE(is_brown(pixel_at(icon, 8, 9)));
    EXPECT_TRUE(is_brown(pixel_at(icon, 24, 15)));

    for (int y = 12; y < 20; ++y)
        for (int x = 12; x < 20; ++x) EXPECT_EQ(pixel_at(icon, x, y).alpha, 255) << "middle " << x << "," << y;
}

TEST(WindowIcon, LoadsAgainAndAgain) {
    const auto first = ph::app::load_window_icon();
    const auto second = ph::app::load_window_icon();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->get_byte_length(), second->get_byte_length());
    EXPECT_EQ(0, std::memcmp(first->get_pixels(), second->get_pixels(), first->get_byte_length()));
}

}  // namespace
