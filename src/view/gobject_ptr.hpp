// Ownership of a plain GObject reference (WebKit's C objects).
#pragma once

#include <glib-object.h>

#include <memory>

namespace ph::view {

struct GObjectUnref {
    void operator()(gpointer object) const noexcept { g_object_unref(object); }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Takes over a reference the caller already holds (a "transfer full" result).
template <typename T>
GObjectPtr<T> adopt(T* object) noexcept {
    return GObjectPtr<T>(object);
}

}  // namespace ph::view
