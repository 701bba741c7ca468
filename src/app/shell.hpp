// Start-up, the event loop and the orderly end, in the program's fixed order.
#pragma once

#include "app/controls.hpp"
#include "app/main_window.hpp"
#include "view/engine_context.hpp"

namespace ph::app {

// start_toolkit, load_window, run_event_loop; returns 0.
int program_start();

// Brings GTK up (ignoring the command line), makes the engine context, makes
// the program's folder the current directory and checks the window
// definition. Returns only on success.
void start_toolkit();

// Builds, captions and shows the main window, focus on the first tab stop.
// Returns only on success.
void load_window();

// Runs until the main window is gone.
void run_event_loop();

// Destroys the main window and its controls, if it exists.
void close_main_window();

// No handler runs any more; the window and the engine context are released.
// Safe to call more than once.
void orderly_end();

bool toolkit_is_up() noexcept;

// The loaded window and its controls; nullptr when there is none.
MainWindow* main_window() noexcept;
ControlRegistry* loaded_controls() noexcept;
view::EngineContext* engine_context() noexcept;

}  // namespace ph::app
