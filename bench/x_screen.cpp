#include "x_screen.hpp"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <stdexcept>

namespace ph::bench {
namespace {

// Windows come and go under us: asking about one that just went is no fault.
int ignore_errors(Display*, XErrorEvent*) { return 0; }

struct XFreer {
    void operator()(void* data) const noexcept {
        if (data) XFree(data);
    }
};

struct ImageDestroyer {
    void operator()(XImage* image) const noexcept { XDestroyImage(image); }
};

// The byte of `pixel` under `mask`, for the 24-bit TrueColor visual Xvfb has.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    return static_cast<std::uint8_t>((pixel & mask) >> shift);
}

}  // namespace

XScreen::XScreen() : display_(XOpenDisplay(nullptr)) {
    if (!display_) throw std::runtime_error("no X display");
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_.get(), &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTest");
    XSetErrorHandler(ignore_errors);
    root_ = DefaultRootWindow(display_.get());
    XSelectInput(display_.get(), root_, SubstructureNotifyMask);
    XSync(display_.get(), False);
}

Atom XScreen::atom(const char* name) { return XInternAtom(display_.get(), name, False); }

void XScreen::read_events(Clock::time_point until) {
    Display* display = display_.get();
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const Clock::time_point now = Clock::now();
            if (event.type == MapNotify && event.xmap.event == root_ && !event.xmap.override_redirect) {
                mapped_.push_back(event.xmap.window);
                fresh_.push_back({event.xmap.window, now});
            } else if (event.type == UnmapNotify && event.xunmap.event == root_) {
                std::erase(mapped_, event.xunmap.window);
            } else if (event.type == DestroyNotify && event.xdestroywindow.event == root_) {
                std::erase(mapped_, event.xdestroywindow.window);
            }
        }
        if (!fresh_.empty()) return;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(std::min<long long>(left, 50)));
    }
}

std::optional<MappedWindow> XScreen::take_fresh(const std::function<bool(Window)>& wanted) {
    for (auto it = fresh_.begin(); it != fresh_.end(); ++it) {
        if (!wanted(it->id)) continue;
        const MappedWindow found = *it;
        fresh_.erase(fresh_.begin(), it + 1);
        return found;
    }
    fresh_.clear();
    return std::nullopt;
}

void XScreen::forget_mapped() {
    read_events(Clock::now());
    fresh_.clear();
}

std::string XScreen::caption_of(Window window) {
    for (const auto& [name, type] : {std::pair{"_NET_WM_NAME", "UTF8_STRING"}, std::pair{"WM_NAME", "STRING"}}) {
        Atom actual = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_.get(), window, atom(name), 0, 1024, False, AnyPropertyType, &actual, &format,
                               &count, &after, &data) != Success)
            continue;
        std::unique_ptr<unsigned char, XFreer> owned(data);
        if (owned && format == 8 && (actual == atom(type) || actual == XA_STRING))
            return {reinterpret_cast<const char*>(owned.get()), count};
    }
    return {};
}

std::optional<MappedWindow> XScreen::wait_for_captioned_map(const std::string& caption, Clock::time_point deadline) {
    do {
        read_events(deadline);
        if (auto found = take_fresh([&](Window window) { return caption_of(window) == caption; })) return found;
    } while (Clock::now() < deadline);
    return std::nullopt;
}

std::optional<MappedWindow> XScreen::wait_for_map(int min_side, Clock::time_point deadline) {
    do {
        read_events(deadline);
        auto big_enough = [&](Window window) {
            const auto place = place_of(window);
            return place && place->width >= min_side && place->height >= min_side;
        };
        if (auto found = take_fresh(big_enough)) return found;
    } while (Clock::now() < deadline);
    return std::nullopt;
}

const std::vector<Window>& XScreen::mapped() {
    read_events(Clock::now());
    fresh_.clear();
    return mapped_;
}

std::optional<Place> XScreen::place_of(Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_.get(), window, &attributes)) return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_.get(), window, root_, 0, 0, &x, &y, &child)) return std::nullopt;
    return Place{x, y, attributes.width, attributes.height};
}

std::vector<Rgb> XScreen::column(Window window, int x, int y, int height) {
    std::unique_ptr<XImage, ImageDestroyer> image(
        XGetImage(display_.get(), window, x, y, 1, static_cast<unsigned>(height), AllPlanes, ZPixmap));
    std::vector<Rgb> pixels;
    if (!image) return pixels;
    pixels.reserve(static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        const unsigned long pixel = XGetPixel(image.get(), 0, row);
        pixels.push_back({channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                          channel(pixel, image->blue_mask)});
    }
    return pixels;
}

void XScreen::move_pointer(int x, int y) {
    XTestFakeMotionEvent(display_.get(), -1, x, y, CurrentTime);
    XSync(display_.get(), False);
}

Clock::time_point XScreen::click() {
    const Clock::time_point sent = Clock::now();
    XTestFakeButtonEvent(display_.get(), 1, True, CurrentTime);
    XTestFakeButtonEvent(display_.get(), 1, False, CurrentTime);
    XFlush(display_.get());
    return sent;
}

void XScreen::type(const std::string& ascii) {
    Display* display = display_.get();
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const char c : ascii) {
        const KeySym symbol = static_cast<KeySym>(static_cast<unsigned char>(c));  // Latin-1 keysyms are the codes
        const KeyCode key = XKeysymToKeycode(display, symbol);
        if (key == 0) continue;
        const bool shifted = XkbKeycodeToKeysym(display, key, 0, 0) != symbol;
        if (shifted) XTestFakeKeyEvent(display, shift, True, CurrentTime);
        XTestFakeKeyEvent(display, key, True, CurrentTime);
        XTestFakeKeyEvent(display, key, False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(display, shift, False, CurrentTime);
    }
    XSync(display, False);
}

}  // namespace ph::bench
