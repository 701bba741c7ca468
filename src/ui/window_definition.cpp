#include "ui/window_definition.hpp"

#include <iterator>

#include "core/texts.hpp"
#include "ui/handlers.hpp"

namespace ph::ui {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Colour kBlackText{kBlack};
constexpr Colour kWhite{Rgb{255, 255, 255}};
constexpr Colour kPromptBlue{Rgb{0, 96, 192}};

constexpr Binding kWindowBindings[] = {{Event::Created, handle_window_created}};
constexpr Binding kClearBindings[] = {{Event::Clicked, handle_clear_clicked}};
constexpr Binding kQueryBindings[] = {{Event::Clicked, handle_query_clicked}};

const ControlDefinition kControls[] = {
    // role, name, kind, parent, {left, top, width, height}, visible, disabled, tab stop,
    // text, font, text colour, background, kind settings, bindings
    {Role::SchemeBox, "编辑框2", ControlKind::EditBox, {}, {1008, 600, 80, 32}, false, false, true,
     &texts::empty, kSystemFont, kBlackText, kWhite, EditBoxSettings{}, {}},
    {Role::ClearButton, "按钮2", ControlKind::Button, {}, {976, 80, 96, 47}, true, false, true,
     &texts::clear_label, bold_font(29), kDefaultColour, kDefaultColour, ButtonSettings{}, kClearBindings},
    {Role::HelpLabel, "透明标签2", ControlKind::TransLabel, {}, {973, 189, 112, 355}, true, false, false,
     &texts::help_label, bold_font(21), kBlackText, kDefaultColour, LabelSettings{true}, {}},
    {Role::PromptLabel, "透明标签1", ControlKind::TransLabel, {}, {5, 6, 224, 45}, true, true, false,
     &texts::prompt_label, bold_font(29), kPromptBlue, kDefaultColour, LabelSettings{false}, {}},
    {Role::LinkBox, "编辑框1", ControlKind::EditBox, {}, {233, 5, 728, 47}, true, false, true,
     &texts::empty, bold_font(21), kBlackText, kWhite, EditBoxSettings{}, {}},
    {Role::PageView, "超文本浏览框1", ControlKind::HtmlViewer, Role::ViewFrame, {0, 1, 10, 20}, false, false, true,
     nullptr, kSystemFont, kDefaultColour, kWhite, PageViewSettings{0, false, false, &texts::empty}, {}},
    {Role::QueryButton, "按钮1", ControlKind::Button, {}, {975, 5, 96, 47}, true, false, true,
     &texts::query_label, bold_font(29), kDefaultColour, kDefaultColour, ButtonSettings{}, kQueryBindings},
    {Role::ViewFrame, "外形框1", ControlKind::ShapeBox, {}, {0, 56, 960, 576}, true, false, false,
     nullptr, kSystemFont, kDefaultColour, kDefaultColour, ShapeBoxSettings{kBlack, 1}, {}},
};

const WindowDefinition kMainWindow{
    1099, 665, &texts::caption,
    /*resizable*/ false, /*minimise_box*/ true, /*maximise_box*/ false,
    /*escape_closes*/ true, kDefaultColour, kWindowBindings, kControls,
};

}  // namespace

const WindowDefinition& main_window_definition() { return kMainWindow; }

const ControlDefinition* find_control(const WindowDefinition& window, Role role) {
    for (const ControlDefinition& control : window.controls)
        if (control.role == role) return &control;
    return nullptr;
}

bool definition_is_complete(const WindowDefinition& window) {
    constexpr Role kRoles[] = {Role::SchemeBox, Role::ClearButton, Role::HelpLabel, Role::PromptLabel,
                               Role::LinkBox,   Role::PageView,    Role::QueryButton, Role::ViewFrame};
    if (window.controls.size() != std::size(kRoles)) return false;
    for (Role role : kRoles)
        if (!find_control(window, role)) return false;
    for (const ControlDefinition& control : window.controls) {
        if (!control.parent) continue;
        const ControlDefinition* parent = find_control(window, *control.parent);
        if (!parent || parent->kind != ControlKind::ShapeBox) return false;
    }
    return true;
}

}  // namespace ph::ui
