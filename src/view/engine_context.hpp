// The web engine's context: one per run, ephemeral, so cookies, cache and
// history never reach the disk.
#pragma once

#include <webkit2/webkit2.h>

#include "glib/handles.hpp"

namespace ph::view {

class EngineContext {
public:
    // Also decides, once, whether web pages run in the engine's sandbox.
    EngineContext();
    WebKitWebContext* get() const noexcept { return context_.get(); }
    bool sandboxed() const noexcept { return sandboxed_; }

private:
    glib::GObjectPtr<WebKitWebContext> context_;
    bool sandboxed_ = false;
};

// Whether bubblewrap can run here. The engine aborts the whole program when
// its sandbox cannot start, so we ask first.
bool sandbox_can_run();

}  // namespace ph::view
