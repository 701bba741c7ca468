// The main window's event handlers. They take nothing, return nothing and
// keep no state: everything they leave behind lives in the controls.
#pragma once

namespace ph::ui {

void handle_window_created();
void handle_clear_clicked();
void handle_query_clicked();

}  // namespace ph::ui
