// Brings the toolkit up and shows the main window as the program does, leaks
// one object of ours on purpose (the kind named on the command line), ends
// in order and returns 0. The leak check at exit must then report that
// object, suppressions or not; tests/app/leak_report_test.cpp reads it.
#include <gtkmm.h>

#include <chrono>
#include <cstdio>
#include <string_view>

#include "app/shell.hpp"
#include "core/text.hpp"
#include "support/gui.hpp"

namespace {

using namespace std::chrono_literals;

// Each keeps its pointer only in a local that is gone once it returns, so
// nothing reaches the object at exit. Not inlined, so the report names them.
[[gnu::noinline]] void leak_a_copied_string() {
    char* volatile copy = g_strdup("leaked on purpose");
    copy = nullptr;
}

[[gnu::noinline]] void leak_a_stored_text() {
    ph::Text* volatile text = new ph::Text(ph::Text::stored("leaked on purpose"));
    text = nullptr;
}

[[gnu::noinline]] void leak_an_owned_widget() {
    GtkWidget* volatile label = GTK_WIDGET(g_object_ref_sink(gtk_label_new("leaked on purpose")));
    label = nullptr;
}

struct Leak {
    std::string_view kind;
    void (*make)();
};

constexpr Leak kLeaks[] = {
    {"copied-string", leak_a_copied_string},
    {"stored-text", leak_a_stored_text},
    {"owned-widget", leak_an_owned_widget},
};

}  // namespace

int main(int argc, char** argv) {
    const std::string_view kind = argc > 1 ? argv[1] : "";
    const Leak* leak = nullptr;
    for (const Leak& candidate : kLeaks)
        if (candidate.kind == kind) leak = &candidate;
    if (!leak) {
        std::fprintf(stderr, "usage: leak_probe copied-string|stored-text|owned-widget\n");
        return 2;
    }

    ph::app::start_toolkit();
    ph::app::load_window();
    ph::test::run_until([] { return ph::app::main_window() && ph::app::main_window()->get_mapped(); });
    ph::test::run_for(200ms);  // drawing, and the engine's warm-up
    leak->make();
    ph::app::orderly_end();
    return 0;
}
