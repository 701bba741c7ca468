#include "ui/handlers.hpp"

#include <cstdlib>

#include "core/link_check.hpp"
#include "core/texts.hpp"
#include "ui/control_operations.hpp"

namespace ph::ui {
namespace {

ControlOperations* installed = nullptr;

// Where an accepted query puts the page view in the view frame: the frame
// then shows the history page's rows 235 to 810.
constexpr std::int32_t kViewLeft = 0;
constexpr std::int32_t kViewTop = -235;
constexpr std::int32_t kViewWidth = 960;
constexpr std::int32_t kViewHeight = 50000;  // as tall as a placement allows

// The scheme box holds what it was given; reading it back is the check.
bool scheme_box_holds(ControlOperations& ops, const Text& scheme) {
    Text read = ops.read_content(Role::SchemeBox);
    const bool same = text_compare(read, scheme) == 0;
    text_release(read);
    return same;
}

}  // namespace

ControlOperations& controls() {
    if (!installed) std::abort();  // handlers only run while the window is loaded
    return *installed;
}

void install_controls(ControlOperations* operations) noexcept { installed = operations; }

void handle_window_created() { controls().write_caption(texts::caption); }

void handle_clear_clicked() { controls().write_content(Role::LinkBox, texts::empty); }

void handle_query_clicked() {
    ControlOperations& ops = controls();

    Text link = ops.read_content(Role::LinkBox);
    Text scheme = link_scheme(link);
    text_release(link);
    ops.write_content(Role::SchemeBox, scheme);
    text_release(scheme);

    if (!scheme_box_holds(ops, texts::http) && !scheme_box_holds(ops, texts::https)) {
        ops.show_message_box(texts::rejection_message, texts::rejection_title);
        return;
    }

    Text link_again = ops.read_content(Role::LinkBox);
    Text address = make_history_address(link_again);
    text_release(link_again);
    ops.write_address(Role::PageView, address);
    text_release(address);

    ops.write_visible(Role::PageView, true);
    ops.write_left(Role::PageView, kViewLeft);
    ops.write_top(Role::PageView, kViewTop);
    ops.write_width(Role::PageView, kViewWidth);
    ops.write_height(Role::PageView, kViewHeight);
}

}  // namespace ph::ui
