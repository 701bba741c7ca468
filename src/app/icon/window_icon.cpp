#include "app/icon/window_icon.hpp"

extern "C" {
#include "icon_resource.h"
}

namespace ph::app {

namespace {

constexpr const char* icon_resource_path = "/org/pricehistory/icon/32.png";

void register_icon_resource_once() {
    // A function-local static runs exactly once, even across threads.
    static const bool registered = [] {
        ph_icon_register_resource();
        return true;
    }();
    static_cast<void>(registered);
}

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> load_window_icon() {
    register_icon_resource_once();
    return Gdk::Pixbuf::create_from_resource(icon_resource_path);
}

}  // namespace ph::app
