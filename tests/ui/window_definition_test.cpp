#include "ui/window_definition.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace ph::ui {
namespace {

TEST(WindowDefinition, IsCompleteAndInCreationOrder) {
    const WindowDefinition& window = main_window_definition();
    EXPECT_TRUE(definition_is_complete(window));
    std::vector<Role> order;
    for (const ControlDefinition& control : window.controls) order.push_back(control.role);
    EXPECT_EQ(order, (std::vector<Role>{Role::SchemeBox, Role::ClearButton, Role::HelpLabel, Role::PromptLabel,
                                        Role::LinkBox, Role::PageView, Role::QueryButton, Role::ViewFrame}));
}

TEST(WindowDefinition, NoTwoVisibleControlsOverlap) {
    const WindowDefinition& window = main_window_definition();
    for (const ControlDefinition& a : window.controls)
        for (const ControlDefinition& b : window.controls) {
            if (&a == &b || !a.visible || !b.visible || a.parent || b.parent) continue;
            const bool apart = a.rect.left + a.rect.width <= b.rect.left || b.rect.left + b.rect.width <= a.rect.left ||
                               a.rect.top + a.rect.height <= b.rect.top || b.rect.top + b.rect.height <= a.rect.top;
            EXPECT_TRUE(apart) << a.name << " overlaps " << b.name;
        }
}

TEST(WindowDefinition, IncompleteDefinitionsAreRefused) {
    const WindowDefinition& window = main_window_definition();
    std::vector<ControlDefinition> rows(window.controls.begin(), window.controls.end());

    WindowDefinition missing_row = window;
    missing_row.controls = std::span<const ControlDefinition>(rows.data(), rows.size() - 1);
    EXPECT_FALSE(definition_is_complete(missing_row));

    std::vector<ControlDefinition> bad_parent = rows;
    bad_parent[5].parent = Role::QueryButton;  // the page view inside a button
    WindowDefinition wrong_parent = window;
    wrong_parent.controls = bad_parent;
    EXPECT_FALSE(definition_is_complete(wrong_parent));
}

}  // namespace
}  // namespace ph::ui
