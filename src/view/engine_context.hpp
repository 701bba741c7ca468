// The web engine's context: one per run, ephemeral, so cookies, cache and
// history never reach the disk.
#pragma once

#include <sys/types.h>

#include <webkit2/webkit2.h>

#include "glib/handles.hpp"

namespace ph::view {

// Whether bubblewrap can run here. The engine aborts the whole program when
// its sandbox cannot start, so we ask first. In two steps, so that other
// work can go on while it runs: start_sandbox_check gives the check's
// process (-1 when it cannot start), sandbox_check_passed waits for it.
pid_t start_sandbox_check();
bool sandbox_check_passed(pid_t check);

class EngineContext {
public:
    // Also decides, once, whether web pages run in the engine's sandbox,
    // from the answer of a check started earlier (start_sandbox_check).
    explicit EngineContext(pid_t started_sandbox_check);
    WebKitWebContext* get() const noexcept { return context_.get(); }
    bool sandboxed() const noexcept { return sandboxed_; }

private:
    glib::GObjectPtr<WebKitWebContext> context_;
    bool sandboxed_ = false;
};

}  // namespace ph::view
