// The real main window under a private X server: what the builder made of
// the definition, the keys, and the control operations.
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include "app/controls.hpp"
#include "core/codepage.hpp"
#include "core/texts.hpp"
#include "loaded_window.hpp"
#include "ui/window_definition.hpp"
#include "view/page_view.hpp"

namespace ph {
namespace {

using test::LoadedWindow;
using ui::Role;

const ui::ControlDefinition& row(Role role) { return *ui::find_control(ui::main_window_definition(), role); }

class WindowTest : public LoadedWindow {};

TEST_F(WindowTest, EveryControlGetsExactlyItsRow) {
    for (const ui::ControlDefinition& control : ui::main_window_definition().controls) {
        SCOPED_TRACE(control.name);
        Gtk::Widget& w = widget(control.role);
        EXPECT_EQ(w.get_visible(), control.visible);
        EXPECT_EQ(w.get_sensitive(), !control.disabled);
        EXPECT_EQ(w.get_name(), control.name);
        if (!control.visible) continue;  // hidden widgets get no allocation
        const Gtk::Allocation a = w.get_allocation();
        EXPECT_EQ(a.get_x(), control.rect.left);
        EXPECT_EQ(a.get_y(), control.rect.top);
        EXPECT_EQ(a.get_width(), control.rect.width);
        EXPECT_EQ(a.get_height(), control.rect.height);
    }
}

TEST_F(WindowTest, PageViewStartsHiddenInTheViewFrameAtItsPlace) {
    EXPECT_EQ(widget(Role::PageView).get_parent(), &widget(Role::ViewFrame));
    EXPECT_FALSE(widget(Role::PageView).get_visible());
    const app::Control& page = *controls().find(Role::PageView);
    EXPECT_EQ(page.placement.left, 0);
    EXPECT_EQ(page.placement.top, 1);
    EXPECT_EQ(page.placement.width, 10);
    EXPECT_EQ(page.placement.height, 20);
    EXPECT_EQ(page_view().address().bytes(), "");
    EXPECT_EQ(page_view().requested_uri(), "");  // nothing was loaded
    EXPECT_EQ(page_view().settings().text_size_level, 0);
}

TEST_F(WindowTest, MainWindowChildrenStackInDefinitionOrderFirstOnTop) {
    // A container draws its children in list order, so the last drawn is on top.
    std::vector<std::string> drawn;
    for (Gtk::Widget* child : window().client().get_children()) drawn.push_back(child->get_name());
    std::vector<std::string> expected;
    for (const ui::ControlDefinition& control : ui::main_window_definition().controls)
        if (!control.parent) expected.insert(expected.begin(), control.name);
    EXPECT_EQ(drawn, expected);
}

TEST_F(WindowTest, WindowHasItsSizeCaptionIconAndPlace) {
    EXPECT_EQ(window().get_title(), to_utf8(texts::caption));
    EXPECT_FALSE(window().get_resizable());
    EXPECT_EQ(window().get_allocated_width(), 1099);  // no window manager: no frame
    EXPECT_EQ(window().get_allocated_height(), 665);
    ASSERT_TRUE(window().get_icon());
    EXPECT_EQ(window().get_icon()->get_width(), 32);
    int x = 0, y = 0;
    window().get_window()->get_root_origin(x, y);
    EXPECT_EQ(x, 410);  // centred on the 1920 x 1080 test screen
    EXPECT_EQ(y, 207);
}

TEST(WindowPlace, CentredWithIntegerDivision) {
    EXPECT_EQ(app::centred_origin(1920, 1080, 1099, 665).x, 410);
    EXPECT_EQ(app::centred_origin(1920, 1080, 1099, 665).y, 207);
    EXPECT_EQ(app::centred_origin(1024, 768, 1099, 665).x, -37);  // toward zero, partly off screen
    EXPECT_EQ(app::centred_origin(1024, 768, 1099, 665).y, 51);
}

// The font that a widget's text attributes give its characters.
Pango::FontDescription attributed_font(PangoAttrList* attributes) {
    Pango::FontDescription font;
    if (!attributes) return font;
    PangoAttrIterator* it = pango_attr_list_get_iterator(attributes);
    pango_attr_iterator_get_font(it, font.gobj(), nullptr, nullptr);
    pango_attr_iterator_destroy(it);
    return font;
}

TEST_F(WindowTest, FontsAndColoursFollowTheDefinition) {
    auto* query_caption = dynamic_cast<Gtk::Label*>(dynamic_cast<Gtk::Button&>(widget(Role::QueryButton)).get_child());
    const Pango::FontDescription caption_font = attributed_font(query_caption->get_attributes().gobj());
    const Pango::FontDescription link_font = attributed_font(entry(Role::LinkBox).get_attributes().gobj());
    EXPECT_EQ(caption_font.get_weight(), Pango::WEIGHT_BOLD);
    EXPECT_EQ(caption_font.get_size(), 29 * PANGO_SCALE);
    EXPECT_TRUE(caption_font.get_size_is_absolute());
    EXPECT_EQ(link_font.get_weight(), Pango::WEIGHT_BOLD);
    EXPECT_EQ(link_font.get_size(), 21 * PANGO_SCALE);
    EXPECT_TRUE(link_font.get_size_is_absolute());
    EXPECT_TRUE(attributed_font(entry(Role::SchemeBox).get_attributes().gobj()).get_family().empty());

    const Gdk::RGBA link_text = widget(Role::LinkBox).get_style_context()->get_color(Gtk::STATE_FLAG_NORMAL);
    EXPECT_DOUBLE_EQ(link_text.get_red(), 0.0);
    EXPECT_DOUBLE_EQ(link_text.get_blue(), 0.0);
}

TEST_F(WindowTest, ButtonsShowTheirCaptions) {
    auto caption = [&](Role role) {
        return dynamic_cast<Gtk::Label*>(dynamic_cast<Gtk::Button&>(widget(role)).get_child())->get_text();
    };
    EXPECT_EQ(caption(Role::QueryButton), to_utf8(texts::query_label));
    EXPECT_EQ(caption(Role::ClearButton), to_utf8(texts::clear_label));
}

// --- keys and focus ---------------------------------------------------------

Gtk::Widget* focus_holder(Gtk::Window& w) { return w.get_focus(); }

TEST_F(WindowTest, TabCycleRunsQueryLinkClearAndBack) {
    EXPECT_EQ(focus_holder(window()), &widget(Role::QueryButton));
    const Role forward[] = {Role::LinkBox, Role::ClearButton, Role::QueryButton};
    for (Role next : forward) {
        test::press_key(window(), GDK_KEY_Tab);
        EXPECT_EQ(focus_holder(window()), &widget(next)) << row(next).name;
    }
    const Role backward[] = {Role::ClearButton, Role::LinkBox, Role::QueryButton};
    for (Role next : backward) {
        test::press_key(window(), GDK_KEY_ISO_Left_Tab, GDK_SHIFT_MASK);
        EXPECT_EQ(focus_holder(window()), &widget(next)) << row(next).name;
    }
}

TEST_F(WindowTest, VisiblePageViewJoinsTheTabCycleAfterTheQueryButton) {
    controls().write_address(Role::PageView, Text());  // an empty page, as the engine shows it
    controls().write_visible(Role::PageView, true);
    // A key that reaches the engine before its page is there is dropped.
    WebKitWebView* engine_view = dynamic_cast<view::PageView&>(widget(Role::PageView)).web_view();
    ASSERT_TRUE(test::run_until([&] { return !webkit_web_view_is_loading(engine_view); }, std::chrono::seconds(10)));
    settle();
    test::press_key(window(), GDK_KEY_Tab);
    Gtk::Widget* focus = focus_holder(window());
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(focus == &widget(Role::PageView) || focus->is_ancestor(widget(Role::PageView)));
    // The page is offered the key first and answers it asynchronously.
    test::press_key(window(), GDK_KEY_Tab);
    EXPECT_TRUE(test::run_until([&] { return focus_holder(window()) == &widget(Role::LinkBox); },
                                std::chrono::seconds(5)));
}

TEST_F(WindowTest, EnterAndF1DoNothing) {
    entry(Role::LinkBox).set_text("https://a");
    widget(Role::LinkBox).grab_focus();
    for (guint key : {GDK_KEY_Return, GDK_KEY_KP_Enter, GDK_KEY_F1}) test::press_key(window(), key);
    widget(Role::QueryButton).grab_focus();
    test::press_key(window(), GDK_KEY_Return);
    settle();
    EXPECT_EQ(entry(Role::SchemeBox).get_text(), "");  // no query ran
    EXPECT_FALSE(widget(Role::PageView).get_visible());
    EXPECT_EQ(focus_holder(window()), &widget(Role::QueryButton));
    EXPECT_TRUE(window().get_visible());
}

TEST_F(WindowTest, SpaceOnTheFocusedQueryButtonQueries) {
    entry(Role::LinkBox).set_text("http://127.0.0.1:9/");
    widget(Role::QueryButton).grab_focus();
    test::press_key(window(), GDK_KEY_space);
    test::run_until([&] { return widget(Role::PageView).get_visible(); }, std::chrono::seconds(2));
    EXPECT_EQ(entry(Role::SchemeBox).get_text(), "http");
}

TEST_F(WindowTest, EscapeClosesTheWindowFromTheLinkBox) {
    widget(Role::LinkBox).grab_focus();
    test::press_key(window(), GDK_KEY_Escape);
    EXPECT_TRUE(test::run_until([&] { return !window().get_visible(); }, std::chrono::seconds(2)));
}

// --- control operations -----------------------------------------------------

struct PlacementCase {
    std::int32_t left, top, width, height;
    ui::Rect expected;
};

class PlacementTest : public LoadedWindow, public testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, IsHeldToTheLimitsAndFollowedByTheWidget) {
    const PlacementCase& c = GetParam();
    controls().write_visible(Role::PageView, true);
    controls().write_left(Role::PageView, c.left);
    controls().write_top(Role::PageView, c.top);
    controls().write_width(Role::PageView, c.width);
    controls().write_height(Role::PageView, c.height);
    const ui::Rect& stored = controls().find(Role::PageView)->placement;  // seen at once
    EXPECT_EQ(stored.left, c.expected.left);
    EXPECT_EQ(stored.top, c.expected.top);
    EXPECT_EQ(stored.width, c.expected.width);
    EXPECT_EQ(stored.height, c.expected.height);
    settle();
    Gtk::Widget& page = widget(Role::PageView);
    if (c.expected.width == 0 || c.expected.height == 0) {
        EXPECT_FALSE(page.get_mapped());  // nothing to show
        return;
    }
    const Gtk::Allocation a = page.get_allocation();
    EXPECT_EQ(a.get_width(), c.expected.width);
    EXPECT_EQ(a.get_height(), c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(Writes, PlacementTest,
                         testing::Values(PlacementCase{0, -235, 960, 50000, {0, -235, 960, 32627}},
                                         PlacementCase{0, -40000, 40000, -5, {0, -32627, 32627, 0}},
                                         PlacementCase{32628, 32627, 10, 20, {32627, 32627, 10, 20}},
                                         PlacementCase{-32628, 0, 0, 32627, {-32627, 0, 0, 32627}}));

TEST_F(WindowTest, ContentWritesAreReadBackByteForByte) {
    const std::string_view samples[] = {
        "https://a/b?x=1&y=2#c",
        "\xC9\xCC\xC6\xB7://\xC9\xCC\xC6\xB7",  // "商品://商品" in code page 936
        "\x95\x32\x82\x36",                    // U+10000, beyond code page 936
    };
    for (std::string_view bytes : samples) {
        Text written = Text::stored(bytes);
        controls().write_content(Role::SchemeBox, written);
        Text read = controls().read_content(Role::SchemeBox);
        EXPECT_EQ(read.bytes(), bytes);
    }
    controls().write_content(Role::LinkBox, Text());
    EXPECT_EQ(entry(Role::LinkBox).get_text(), "");
    EXPECT_TRUE(controls().read_content(Role::LinkBox).is_absent());
}

TEST_F(WindowTest, CaptionWriteShowsAtOnce) {
    controls().write_caption(texts::rejection_title);
    EXPECT_EQ(window().get_title(), to_utf8(texts::rejection_title));
}

}  // namespace
}  // namespace ph
