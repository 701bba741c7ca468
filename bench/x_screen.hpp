// The X server as the benchmark sees it, over a connection of its own: new
// top-level windows as they map, their pixels, and a fake pointer and
// keyboard (XTest) for clicks and typing.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ph::bench {

using Clock = std::chrono::steady_clock;

struct MappedWindow {
    Window id = 0;
    Clock::time_point at;  // when the harness read the MapNotify
};

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};

struct Place {
    int x = 0, y = 0, width = 0, height = 0;  // root coordinates
};

class XScreen {
public:
    // Connects to $DISPLAY and watches the root for mapped children. Throws when it cannot.
    XScreen();

    // Forgets what mapped so far: call right before starting a process.
    void forget_mapped();
    // The next top-level window mapped whose _NET_WM_NAME (or WM_NAME) is `caption`.
    std::optional<MappedWindow> wait_for_captioned_map(const std::string& caption, Clock::time_point deadline);
    // The next top-level window mapped that is at least `min_side` pixels on each side.
    std::optional<MappedWindow> wait_for_map(int min_side, Clock::time_point deadline);
    // Top-level windows mapped now, as far as the events read so far tell.
    const std::vector<Window>& mapped();

    std::optional<Place> place_of(Window window);
    // One pixel column of `window`, `height` rows from (x, y) in its own
    // coordinates; empty when the window is gone or the area is outside it.
    std::vector<Rgb> column(Window window, int x, int y, int height);

    // Moves the pointer (root coordinates) and waits until the server has done it.
    void move_pointer(int x, int y);
    // Presses and releases button 1 where the pointer is, flushed at once.
    // Returns the time right before the press was sent.
    Clock::time_point click();
    // Types printable ASCII on the US keyboard Xvfb starts with.
    void type(const std::string& ascii);

private:
    struct Closer {
        void operator()(Display* display) const noexcept { XCloseDisplay(display); }
    };
    // Reads every event that comes before `until` or, when one maps a window, stops early.
    void read_events(Clock::time_point until);
    std::optional<MappedWindow> take_fresh(const std::function<bool(Window)>& wanted);
    std::string caption_of(Window window);
    Atom atom(const char* name);

    std::unique_ptr<Display, Closer> display_;
    Window root_ = 0;
    std::vector<Window> mapped_;
    std::vector<MappedWindow> fresh_;  // mapped since forget_mapped, not yet handed out
};

}  // namespace ph::bench
