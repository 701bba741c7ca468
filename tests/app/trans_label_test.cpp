#include "app/widgets/trans_label.hpp"

#include "picture.hpp"
#include "scene.hpp"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/offscreenwindow.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using ph::app::TransLabel;
using ph::test::Area;
using ph::test::Colour;
using ph::test::Picture;
using ph::test::Scene;

constexpr Colour text_colour{255, 0, 0};
const Glib::ustring long_text = "Paste the address of a product page here and press the button";

Pango::FontDescription label_font(int pixels = 29) {
    Pango::FontDescription font;
    font.set_absolute_size(pixels * PANGO_SCALE);
    font.set_weight(Pango::WEIGHT_BOLD);
    return font;
}

Gdk::RGBA gdk_colour(const Colour& colour) {
    Gdk::RGBA rgba;
    rgba.set_rgba(colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
    return rgba;
}

TransLabel make_label(const Glib::ustring& text, bool word_wrap, int font_pixels = 29) {
    return TransLabel(text, label_font(font_pixels), gdk_colour(text_colour), word_wrap);
}

bool is_ink(const Picture& picture, int x, int y) { return !(picture.at(x, y) == Scene::background); }

// Smallest box holding every pixel that is not the background; right and
// bottom are one past the last ink pixel.
struct InkBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool empty() const { return right <= left; }
    int width() const { return right - left; }
    int centre_y() const { return (top + bottom) / 2; }
};

InkBox ink_box(const Picture& picture, const Area& area) {
    InkBox box{area.x + area.width, area.y + area.height, area.x, area.y};
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            if (is_ink(picture, x, y)) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

// Runs of rows that hold ink, top to bottom: one per drawn line of text.
std::vector<Area> ink_lines(const Picture& picture, const Area& area) {
    std::vector<Area> lines;
    bool in_line = false;
    for (int y = area.y; y < area.y + area.height; ++y) {
        bool row_has_ink = false;
        for (int x = area.x; x < area.x + area.width && !row_has_ink; ++x) row_has_ink = is_ink(picture, x, y);
        if (row_has_ink && !in_line) lines.push_back({area.x, y, area.width, 0});
        if (row_has_ink) lines.back().height = y + 1 - lines.back().y;
        in_line = row_has_ink;
    }
    return lines;
}

// For looking at by eye: PH_TEST_PICTURES=folder keeps the drawn pictures.
void keep_for_eyes(const Picture& picture, const std::string& name) {
    if (const char* folder = std::getenv("PH_TEST_PICTURES")) picture.save_png(std::string(folder) + "/" + name + ".png");
}

struct TextCase {
    const char* name;
    Glib::ustring text;
    bool word_wrap;
};

const std::vector<TextCase> text_cases = {
    {"wrapped", long_text, true},
    {"one_line", "Price history", false},
    {"chinese_wrapped", "\u4EF7\u683C\u5386\u53F2\u67E5\u8BE2\uFF0C\u8BF7\u7C98\u8D34\u5546\u54C1\u7F51\u5740", true},
    {"chinese_one_line", "\u4EF7\u683C\u5386\u53F2", false},
};

TEST(TransLabelDrawing, PaintsOnlyItsLettersInItsColourOverTheParent) {
    for (const auto& c : text_cases) {
        SCOPED_TRACE(c.name);
        Scene scene(400, 300);
        auto label = make_label(c.text, c.word_wrap);
        const Area area{20, 30, 340, 200};
        scene.put(label, area);
        const Picture picture = scene.draw();
        keep_for_eyes(picture, std::string("trans_label_") + c.name);

        int text_pixels = 0;
        int background_pixels = 0;
        int foreign_pixels = 0;
        for (int y = area.y; y < area.y + area.height; ++y)
            for (int x = area.x; x < area.x + area.width; ++x) {
                const Colour colour = picture.at(x, y);
                text_pixels += colour == text_colour;
                background_pixels += colour == Scene::background;
                // Letter edges blend red into blue; anything else (a theme
                // background, grey insensitive text) has green or loses red+blue.
                foreign_pixels += colour.green > 2 || std::abs(colour.red + colour.blue - 255) > 3;
            }
        EXPECT_GT(text_pixels, 50);
        EXPECT_GT(background_pixels, area.width * area.height / 2);
        EXPECT_EQ(foreign_pixels, 0);
    }
}

TEST(TransLabelDrawing, DrawsNothingOutsideItsAllocation) {
    for (const bool word_wrap : {true, false}) {
        SCOPED_TRACE(word_wrap ? "wrapped" : "one line");
        Scene scene(300, 200);
        // Far too much text in a far too large font for the small rectangle.
        auto label = make_label(long_text + " " + long_text, word_wrap, 60);
        const Area area{50, 40, 120, 30};
        scene.put(label, area);
        const Picture picture = scene.draw();

        int outside_ink = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                outside_ink += !area.contains(x, y) && is_ink(picture, x, y);
        EXPECT_EQ(outside_ink, 0);
        EXPECT_FALSE(ink_box(picture, area).empty());
    }
}

TEST(TransLabelDrawing, WrapsLongTextIntoLeftAlignedLinesFromTheTop) {
    Scene scene(400, 320);
    auto label = make_label(long_text, true);
    const Area area{20, 30, 300, 260};
    scene.put(label, area);
    const Picture picture = scene.draw();

    const auto lines = ink_lines(picture, area);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_LE(lines.front().y - area.y, 12) << "the first line starts at the top";
    EXPECT_LT(lines.back().y + lines.back().height, area.y + area.height) << "all lines fit";
    for (const auto& line : lines) {
        const InkBox box = ink_box(picture, line);
        EXPECT_LE(box.left - area.x, 4) << "line at y " << line.y << " starts at the left edge";
    }
}

TEST(TransLabelDrawing, WrappedTextStaysAtTheTopWhateverTheHeight) {
    std::vector<int> tops;
    for (const int height : {120, 250}) {
        Scene scene(400, 300);
        auto label = make_label(long_text, true);
        const Area area{20, 30, 300, height};
        scene.put(label, area);
        const InkBox box = ink_box(scene.draw(), area);
        ASSERT_FALSE(box.empty());
        tops.push_back(box.top);
    }
    EXPECT_EQ(tops[0], tops[1]);
}

TEST(TransLabelDrawing, OneLineIsLeftAlignedAndCentredVertically) {
    const Glib::ustring text = "Price history";
    std::vector<std::pair<int, InkBox>> drawn;  // label height, its ink
    for (const int height : {50, 90, 150}) {
        SCOPED_TRACE(height);
        Scene scene(400, 200);
        auto label = make_label(text, false);
        const Area area{20, 20, 360, height};
        scene.put(label, area);
        const Picture picture = scene.draw();
        keep_for_eyes(picture, "trans_label_centred_" + std::to_string(height));

        EXPECT_EQ(ink_lines(picture, area).size(), 1u);
        const InkBox box = ink_box(picture, area);
        ASSERT_FALSE(box.empty());
        EXPECT_LE(box.left - area.x, 4);
        EXPECT_NEAR(box.centre_y(), area.y + height / 2, 6);
        drawn.emplace_back(height, box);
    }
    // Exactly half of the extra height goes above the text.
    for (std::size_t i = 1; i < drawn.size(); ++i)
        EXPECT_NEAR(drawn[i].second.top - drawn[0].second.top, (drawn[i].first - drawn[0].first) / 2, 1);
}

TEST(TransLabelDrawing, OneLineModeNeverBreaksTheText) {
    Scene scene(300, 200);
    auto label = make_label(long_text + "\nsecond paragraph", false);
    const Area area{10, 10, 200, 180};
    scene.put(label, area);
    const Picture picture = scene.draw();
    EXPECT_EQ(ink_lines(picture, area).size(), 1u);
}

TEST(TransLabelDrawing, KeepsEveryRunOfSpaces) {
    for (const bool word_wrap : {true, false}) {
        SCOPED_TRACE(word_wrap ? "wrapped" : "one line");
        std::vector<int> widths;  // ink width of "A", n spaces, "B"
        for (const int spaces : {1, 9, 17}) {
            Scene scene(700, 100);
            auto label = make_label("A" + std::string(spaces, ' ') + "B", word_wrap);
            const Area area{10, 10, 680, 80};
            scene.put(label, area);
            const InkBox box = ink_box(scene.draw(), area);
            ASSERT_FALSE(box.empty());
            widths.push_back(box.width());
        }
        // Each further 8 spaces widen the text by the same amount, a clear one.
        EXPECT_GT(widths[1] - widths[0], 8 * 4);
        EXPECT_NEAR(widths[2] - widths[1], widths[1] - widths[0], 2);
    }
}

TEST(TransLabelDrawing, LooksTheSameWhenInsensitive) {
    for (const auto& c : text_cases) {
        SCOPED_TRACE(c.name);
        Scene scene(400, 300);
        auto label = make_label(c.text, c.word_wrap);
        scene.put(label, {20, 30, 340, 200});
        const Picture sensitive = scene.draw();
        ASSERT_FALSE(ink_box(sensitive, {20, 30, 340, 200}).empty());

        label.set_sensitive(false);
        ASSERT_TRUE((label.get_state_flags() & Gtk::STATE_FLAG_INSENSITIVE) != Gtk::StateFlags(0));
        EXPECT_TRUE(scene.draw().same_pixels_as(sensitive));
    }
}

TEST(TransLabelDrawing, SetTextShowsTheNewTextInTheWindow) {
    Scene scene(400, 120);
    auto label = make_label("Before", false);
    const Area area{10, 10, 380, 100};
    scene.put(label, area);
    const Picture before = scene.shown();
    ASSERT_FALSE(ink_box(before, area).empty());

    label.set_text("After a change");
    EXPECT_EQ(label.text(), "After a change");
    const Picture after = scene.shown();
    EXPECT_FALSE(after.same_pixels_as(before));
    EXPECT_TRUE(after.same_pixels_as(scene.draw())) << "the window shows the label as it is now";
}

TEST(TransLabelSize, AsksForNoSpaceAtAll) {
    for (const bool word_wrap : {true, false}) {
        SCOPED_TRACE(word_wrap ? "wrapped" : "one line");
        auto label = make_label(long_text, word_wrap, 60);
        label.show();  // GTK asks nothing of hidden widgets and answers 0 for them
        int minimum = -1;
        int natural = -1;
        label.get_preferred_width(minimum, natural);
        EXPECT_EQ(std::make_pair(minimum, natural), std::make_pair(0, 0)) << "width";
        label.get_preferred_height(minimum, natural);
        EXPECT_EQ(std::make_pair(minimum, natural), std::make_pair(0, 0)) << "height";
        label.get_preferred_height_for_width(100, minimum, natural);
        EXPECT_EQ(std::make_pair(minimum, natural), std::make_pair(0, 0)) << "height for width";
        label.get_preferred_width_for_height(30, minimum, natural);
        EXPECT_EQ(std::make_pair(minimum, natural), std::make_pair(0, 0)) << "width for height";
    }
}

TEST(TransLabelSize, NeverMakesItsWindowBigger) {
    const auto preferred_size = [](Gtk::Widget* content) {
        Gtk::OffscreenWindow window;
        Gtk::Box box;
        if (content) box.pack_start(*content);
        window.add(box);
        window.show_all();
        ph::test::settle();
        Gtk::Requisition minimum;
        Gtk::Requisition natural;
        window.get_preferred_size(minimum, natural);
        return std::make_pair(natural.width, natural.height);
    };
    auto label = make_label(long_text, false, 60);
    EXPECT_EQ(preferred_size(&label), preferred_size(nullptr));
}

TEST(TransLabelInput, HasNoWindowOfItsOwnSoClicksGoToTheParent) {
    Scene scene(200, 100);
    auto label = make_label("Click", false);
    scene.put(label, {10, 10, 100, 40});
    ASSERT_TRUE(label.get_realized());
    EXPECT_FALSE(label.get_has_window());
    EXPECT_EQ(label.get_window(), scene.window().get_window());
}

TEST(TransLabelAccessibility, IsALabelNamedByItsText) {
    auto label = make_label("Price history", true);
    const auto accessible = label.get_accessible();
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->get_role(), Atk::ROLE_LABEL);
    EXPECT_EQ(accessible->get_name(), "Price history");

    label.set_text("  spaced    text  ");
    EXPECT_EQ(label.get_accessible()->get_name(), "  spaced    text  ");
}

}  // namespace
