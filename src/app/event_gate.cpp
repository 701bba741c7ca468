#include "app/event_gate.hpp"

namespace ph::app {

void EventGate::raise(std::span<const ui::Binding> bindings, ui::Event event) const {
    if (!open_) return;
    for (const ui::Binding& binding : bindings)
        if (binding.event == event) binding.handler();
}

EventGate& event_gate() noexcept {
    static EventGate gate;
    return gate;
}

}  // namespace ph::app
