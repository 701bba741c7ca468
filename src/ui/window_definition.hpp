// The main window as data: its own settings and its controls in definition
// order. The order decides creation (last to first), stacking (first on top)
// and the tab cycle; changing a control means changing its row.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>

#include "core/text.hpp"

namespace ph::ui {

enum class ControlKind { EditBox, Button, ShapeBox, TransLabel, HtmlViewer };

// What the code calls each control; the definition names are data.
enum class Role { SchemeBox, ClearButton, HelpLabel, PromptLabel, LinkBox, PageView, QueryButton, ViewFrame };

enum class Event {
    Created,  // the main window, once, before it is first shown
    Clicked,  // a button
    // The page view's notifications from its engine.
    BeforeNavigate, NavigateComplete, DocumentComplete, DownloadBegin, DownloadComplete,
    ProgressChange, StatusTextChange, TitleChange, CommandStateChange, NewWindow,
};
using Handler = void (*)();

struct Binding {
    Event event;
    Handler handler;
};

struct Rect {
    std::int32_t left, top, width, height;
};

struct Rgb {
    std::uint8_t red, green, blue;
};

// A colour setting: a fixed colour, or the desktop's default (window
// background) colour.
struct Colour {
    std::optional<Rgb> rgb;  // empty: the default colour
};
inline constexpr Colour kDefaultColour{};

// Bold, no face named; an absolute character height. Empty: the desktop's
// default user-interface font.
struct Font {
    std::optional<std::int32_t> height_px;
    int weight = 400;
};
inline constexpr Font kSystemFont{};
inline constexpr Font bold_font(std::int32_t height_px) { return Font{height_px, 700}; }

struct EditBoxSettings {};  // single line, no case conversion, no length limit of its own
struct ButtonSettings {};   // push button, not a default button, caption centred
struct LabelSettings {
    bool word_wrap;
};
struct ShapeBoxSettings {
    Rgb outline;
    std::int32_t outline_width;
};
struct PageViewSettings {
    std::int32_t text_size_level;  // 0 (smallest) .. 4 (largest)
    bool offline;
    bool silent;
    const Text* address;
};
using KindSettings = std::variant<EditBoxSettings, ButtonSettings, LabelSettings, ShapeBoxSettings, PageViewSettings>;

struct ControlDefinition {
    Role role;
    const char* name;            // the definition name, UTF-8
    ControlKind kind;
    std::optional<Role> parent;  // empty: the main window
    Rect rect;                   // left/top in the parent's client area; outer size
    bool visible, disabled, tab_stop;
    const Text* text;            // nullptr: the kind has no text
    Font font;
    Colour text_colour, background;
    KindSettings settings;
    std::span<const Binding> bindings;
};

struct WindowDefinition {
    std::int32_t outer_width, outer_height;  // frame and title bar included
    const Text* caption;                     // written by the created handler
    bool resizable, minimise_box, maximise_box;
    bool escape_closes;
    Colour background;
    std::span<const Binding> bindings;
    std::span<const ControlDefinition> controls;
};

// The program's one window.
const WindowDefinition& main_window_definition();

// The row of a role; nullptr when the definition lacks it.
const ControlDefinition* find_control(const WindowDefinition& window, Role role);

// True when every role has exactly one row and every parent is a container
// (a shape box) defined in the same window: what a loader may rely on.
bool definition_is_complete(const WindowDefinition& window);

}  // namespace ph::ui
