// A fixture with the real main window loaded as at start-up, and closed
// after each test.
#pragma once

#include <gtest/gtest.h>

#include "app/shell.hpp"
#include "support/gui.hpp"

namespace ph::test {

class LoadedWindow : public testing::Test {
protected:
    void SetUp() override {
        app::load_window();
        run_until([this] { return window().get_mapped(); });
        settle();
    }
    void TearDown() override {
        app::close_main_window();
        run_for(std::chrono::milliseconds(20));
    }

    app::MainWindow& window() { return *app::main_window(); }
    app::ControlRegistry& controls() { return *app::loaded_controls(); }
    Gtk::Widget& widget(ui::Role role) { return *controls().find(role)->widget; }
    Gtk::Entry& entry(ui::Role role) { return dynamic_cast<Gtk::Entry&>(widget(role)); }
    view::PageView& page_view() { return *controls().page_view(ui::Role::PageView); }

    // Lets layout and drawing catch up with what was written.
    static void settle() { run_for(std::chrono::milliseconds(150)); }
};

}  // namespace ph::test
