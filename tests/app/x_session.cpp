#include "x_session.hpp"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <stdexcept>
#include <thread>

namespace ph::test {
namespace {

using namespace std::chrono_literals;

// Windows come and go under us: asking about one that just went is no fault.
int ignore_errors(Display*, XErrorEvent*) { return 0; }

struct XFreer {
    void operator()(void* data) const noexcept {
        if (data) XFree(data);
    }
};
template <typename T>
using XOwned = std::unique_ptr<T, XFreer>;

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    XOwned<unsigned char> data;
};

Property read_property(Display* display, Window window, Atom name) {
    Property p;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, 1 << 16, False, AnyPropertyType, &p.type, &p.format,
                           &p.count, &after, &data) != Success)
        return {};
    p.data.reset(data);
    return p;
}

}  // namespace

XSession::XSession() : display_(XOpenDisplay(nullptr)) {
    if (!display_) throw std::runtime_error("no X display");
    XSetErrorHandler(ignore_errors);
    root_ = DefaultRootWindow(display_.get());
    XSelectInput(display_.get(), root_, SubstructureNotifyMask);
    XSync(display_.get(), False);
}

Atom XSession::atom(const char* name) { return XInternAtom(display_.get(), name, False); }

void XSession::watch(Window window) {
    XSelectInput(display_.get(), window, StructureNotifyMask | PropertyChangeMask);
}

std::optional<pid_t> XSession::pid_of(Window window) {
    const std::vector<unsigned long> values = cardinals(window, "_NET_WM_PID");
    if (values.empty()) return std::nullopt;
    return static_cast<pid_t>(values.front());
}

bool XSession::caption_changes_within(Window window, std::chrono::milliseconds period) {
    const Atom caption = atom("_NET_WM_NAME");
    const auto deadline = std::chrono::steady_clock::now() + period;
    bool changed = false;
    do {
        XSync(display_.get(), False);
        XEvent event;
        while (XCheckTypedWindowEvent(display_.get(), window, PropertyNotify, &event))
            changed = changed || event.xproperty.atom == caption;
        std::this_thread::sleep_for(5ms);
    } while (!changed && std::chrono::steady_clock::now() < deadline);
    return changed;
}

std::optional<MappedWindow> XSession::wait_for_mapped_window(pid_t pid, std::chrono::milliseconds timeout) {
    Display* display = display_.get();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto take_if_ours = [&](Window window) -> std::optional<MappedWindow> {
        if (pid_of(window) != pid) return std::nullopt;
        MappedWindow mapped{window, utf8_property(window, "_NET_WM_NAME"), false};
        // A caption written late comes soon after the mapping.
        mapped.caption_changed_after_map = caption_changes_within(window, 300ms);
        return mapped;
    };
    while (std::chrono::steady_clock::now() < deadline) {
        if (XPending(display) == 0) {
            std::this_thread::sleep_for(2ms);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root_ &&
            !event.xcreatewindow.override_redirect) {
            const Window window = event.xcreatewindow.window;
            watch(window);
            // Mapped before we started listening to it: it counts as seen now.
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
                if (auto mapped = take_if_ours(window)) return mapped;
        } else if (event.type == MapNotify && event.xmap.event == event.xmap.window) {
            if (auto mapped = take_if_ours(event.xmap.window)) return mapped;
        }
    }
    return std::nullopt;
}

std::string XSession::utf8_property(Window window, const char* name) {
    const Property p = read_property(display_.get(), window, atom(name));
    if (p.type != atom("UTF8_STRING") || p.format != 8 || !p.data) return {};
    return {reinterpret_cast<const char*>(p.data.get()), p.count};
}

std::vector<std::string> XSession::class_hint(Window window) {
    XClassHint hint{};
    if (!XGetClassHint(display_.get(), window, &hint)) return {};
    XOwned<char> instance(hint.res_name), klass(hint.res_class);
    return {instance ? instance.get() : "", klass ? klass.get() : ""};
}

std::vector<unsigned long> XSession::cardinals(Window window, const char* name) {
    const Property p = read_property(display_.get(), window, atom(name));
    if (p.format != 32 || !p.data) return {};
    // Xlib hands 32-bit items over as longs.
    const auto* items = reinterpret_cast<const unsigned long*>(p.data.get());
    return {items, items + p.count};
}

std::vector<std::string> XSession::atom_names(Window window, const char* name) {
    std::vector<std::string> names;
    for (unsigned long value : cardinals(window, name)) {
        XOwned<char> atom_name(XGetAtomName(display_.get(), static_cast<Atom>(value)));
        if (atom_name) names.emplace_back(atom_name.get());
    }
    return names;
}

std::optional<Box> XSession::client_box(Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_.get(), window, &attributes)) return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_.get(), window, root_, 0, 0, &x, &y, &child);
    return Box{x, y, attributes.width, attributes.height};
}

Window XSession::parent_of(Window window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_.get(), window, &root, &parent, &children, &count)) return 0;
    XOwned<Window> owned(children);
    return parent;
}

std::optional<Box> XSession::outer_box(Window window) {
    Window top = window;
    for (Window parent = parent_of(top); parent != 0 && parent != root_; parent = parent_of(top)) top = parent;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_.get(), top, &attributes)) return std::nullopt;
    const int border = attributes.border_width;
    return Box{attributes.x, attributes.y, attributes.width + 2 * border, attributes.height + 2 * border};
}

SizeLimits XSession::size_limits(Window window) {
    XSizeHints hints{};
    long supplied = 0;
    SizeLimits limits;
    if (!XGetWMNormalHints(display_.get(), window, &hints, &supplied)) return limits;
    limits.has_min = hints.flags & PMinSize;
    limits.has_max = hints.flags & PMaxSize;
    limits.min_width = hints.min_width;
    limits.min_height = hints.min_height;
    limits.max_width = hints.max_width;
    limits.max_height = hints.max_height;
    return limits;
}

bool XSession::has_focus(Window window) {
    const std::vector<unsigned long> active = cardinals(root_, "_NET_ACTIVE_WINDOW");
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_.get(), &focus, &revert);
    if (active.empty() || active.front() != window) return false;
    // GTK may hand the input focus to a small focus window inside its top-level.
    for (Window inside = focus; inside != 0 && inside != root_; inside = parent_of(inside))
        if (inside == window) return true;
    return false;
}

std::string XSession::describe_focus() {
    const std::vector<unsigned long> active = cardinals(root_, "_NET_ACTIVE_WINDOW");
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_.get(), &focus, &revert);
    return "active window " + (active.empty() ? std::string("none") : std::to_string(active.front())) +
           ", input focus " + std::to_string(focus);
}

bool XSession::wait_for_focus(Window window, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!has_focus(window)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

}  // namespace ph::test
