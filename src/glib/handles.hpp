// Owning handles for GLib objects and buffers, so that every reference is
// given back on every path, exceptions included.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

namespace ph::glib {

struct GObjectUnref {
    void operator()(gpointer object) const noexcept { g_object_unref(object); }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Takes over a reference that the caller already owns (a "transfer full" result).
template <typename T>
GObjectPtr<T> adopt(T* object) {
    return GObjectPtr<T>(object);
}

// Takes a new reference of its own (to keep a "transfer none" object alive).
template <typename T>
GObjectPtr<T> share(T* object) {
    return GObjectPtr<T>(object ? static_cast<T*>(g_object_ref(object)) : nullptr);
}

struct GFreeDeleter {
    void operator()(gpointer memory) const noexcept { g_free(memory); }
};
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

struct MainLoopUnref {
    void operator()(GMainLoop* loop) const noexcept { g_main_loop_unref(loop); }
};
using MainLoopPtr = std::unique_ptr<GMainLoop, MainLoopUnref>;

struct MainContextUnref {
    void operator()(GMainContext* context) const noexcept { g_main_context_unref(context); }
};
using MainContextPtr = std::unique_ptr<GMainContext, MainContextUnref>;

struct BytesUnref {
    void operator()(GBytes* bytes) const noexcept { g_bytes_unref(bytes); }
};
using BytesPtr = std::unique_ptr<GBytes, BytesUnref>;

// An attached source stops firing when its handle goes.
struct SourceDestroy {
    void operator()(GSource* source) const noexcept {
        g_source_destroy(source);
        g_source_unref(source);
    }
};
using SourcePtr = std::unique_ptr<GSource, SourceDestroy>;

// A GError out-parameter that frees whatever error it receives.
class ErrorSlot {
public:
    ErrorSlot() = default;
    ErrorSlot(const ErrorSlot&) = delete;
    ErrorSlot& operator=(const ErrorSlot&) = delete;
    ~ErrorSlot() {
        if (error_) g_error_free(error_);
    }

    GError** out() { return &error_; }
    explicit operator bool() const { return error_ != nullptr; }
    std::string message() const { return error_ ? error_->message : "no error"; }

private:
    GError* error_ = nullptr;
};

// Hangs a C++ value on a GObject; the object destroys it with itself.
template <typename T>
void attach(gpointer object, const char* key, std::unique_ptr<T> value) {
    g_object_set_data_full(G_OBJECT(object), key, value.release(),
                           +[](gpointer data) { std::unique_ptr<T> owned(static_cast<T*>(data)); });
}

template <typename T>
T* attached(gpointer object, const char* key) {
    return static_cast<T*>(g_object_get_data(G_OBJECT(object), key));
}

}  // namespace ph::glib
