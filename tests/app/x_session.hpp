// What the X server shows of other programs' windows, read over a
// connection of our own: new top-level windows, their properties, their
// frames and which one has the focus.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ph::test {

struct MappedWindow {
    Window id = 0;
    std::string caption_at_map;              // _NET_WM_NAME (UTF-8) when it was mapped
    bool caption_changed_after_map = false;  // another _NET_WM_NAME came soon after
};

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};

struct SizeLimits {
    bool has_min = false, has_max = false;
    int min_width = 0, min_height = 0, max_width = 0, max_height = 0;
};

class XSession {
public:
    // Connects to $DISPLAY and starts watching for new top-level windows, so
    // create it before starting the program to watch. Throws when it cannot.
    XSession();

    // The next normal top-level window of process `pid` to be mapped.
    std::optional<MappedWindow> wait_for_mapped_window(pid_t pid, std::chrono::milliseconds timeout);

    // A UTF8_STRING property, or empty.
    std::string utf8_property(Window window, const char* name);
    // WM_CLASS: instance and class name.
    std::vector<std::string> class_hint(Window window);
    // A list of 32-bit values (CARDINAL or ATOM), or empty.
    std::vector<unsigned long> cardinals(Window window, const char* name);
    // The names of the atoms in an ATOM list property.
    std::vector<std::string> atom_names(Window window, const char* name);

    // The window itself, in root coordinates, without its border.
    std::optional<Box> client_box(Window window);
    // Its top-level ancestor below the root (the frame, with a window
    // manager), in root coordinates and with its border.
    std::optional<Box> outer_box(Window window);
    SizeLimits size_limits(Window window);

    // `window` is _NET_ACTIVE_WINDOW and holds the X input focus.
    bool has_focus(Window window);
    bool wait_for_focus(Window window, std::chrono::milliseconds timeout);
    // The active window and the input focus, for a failure message.
    std::string describe_focus();

private:
    struct Closer {
        void operator()(Display* display) const noexcept { XCloseDisplay(display); }
    };

    void watch(Window window);
    Atom atom(const char* name);
    Window parent_of(Window window);  // 0 when it is gone
    std::optional<pid_t> pid_of(Window window);
    // Whether _NET_WM_NAME of `window` changes during `period` from now.
    bool caption_changes_within(Window window, std::chrono::milliseconds period);

    std::unique_ptr<Display, Closer> display_;
    Window root_ = 0;
};

}  // namespace ph::test
