// The one way an event reaches a handler. Closed while the window is built,
// and for good once a run-time error is being reported.
#pragma once

#include <span>

#include "ui/window_definition.hpp"

namespace ph::app {

class EventGate {
public:
    void open() noexcept {
        if (!sealed_) open_ = true;
    }
    void close() noexcept { open_ = false; }
    void close_for_good() noexcept { open_ = false, sealed_ = true; }
    bool is_open() const noexcept { return open_; }

    // Runs the handler bound to `event`, if any, while the gate is open.
    void raise(std::span<const ui::Binding> bindings, ui::Event event) const;

private:
    bool open_ = false;
    bool sealed_ = false;
};

// The program's gate.
EventGate& event_gate() noexcept;

}  // namespace ph::app
