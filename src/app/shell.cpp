#include "app/shell.hpp"

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <system_error>

#include "app/builder.hpp"
#include "app/event_gate.hpp"
#include "app/kinds.hpp"
#include "app/runtime_error.hpp"
#include "core/codepage.hpp"
#include "core/storage.hpp"
#include "core/texts.hpp"
#include "ui/window_definition.hpp"

namespace ph::app {
namespace {

struct Shell {
    bool toolkit_up = false;
    std::unique_ptr<view::EngineContext> engine;
    const ui::WindowDefinition* definition = nullptr;
    BuiltWindow loaded;
};

Shell& shell() {
    static Shell instance;
    return instance;
}

void handle_waiting_events() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void enter_program_folder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) std::filesystem::current_path(program.parent_path(), error);
}

}  // namespace

bool toolkit_is_up() noexcept { return shell().toolkit_up; }
MainWindow* main_window() noexcept { return shell().loaded.window.get(); }
ControlRegistry* loaded_controls() noexcept { return shell().loaded.controls.get(); }
view::EngineContext* engine_context() noexcept { return shell().engine.get(); }

void start_toolkit() {
    Shell& s = shell();
    if (s.toolkit_up) return;
    set_storage_failure_hook(report_storage_failure);
    // The engine's sandbox check runs in a process of its own while the toolkit comes up.
    const pid_t sandbox_check = view::start_sandbox_check();
    Gtk::Main::init_gtkmm_internals();
    if (!gtk_init_check(nullptr, nullptr)) report_runtime_error(texts::window_load_failed.bytes(), 0, "DISPLAY");
    s.toolkit_up = true;
    s.engine = std::make_unique<view::EngineContext>(sandbox_check);
    enter_program_folder();

    const ui::WindowDefinition& definition = ui::main_window_definition();
    if (!ui::definition_is_complete(definition))
        report_runtime_error(texts::definition_unreadable.bytes(), 0, "");
    s.definition = &definition;
}

void load_window() {
    Shell& s = shell();
    handle_waiting_events();
    event_gate().close();
    WebKitWebContext* engine = s.engine->get();
    s.loaded = build_window(*s.definition, [engine](const ui::ControlDefinition& row) {
        return make_control(row, engine);
    });
    if (!s.loaded.window)
        report_runtime_error(texts::window_load_failed.bytes(), 0, text_from_utf8(s.loaded.failed_control).bytes());
    MainWindow& window = *s.loaded.window;
    ui::install_controls(s.loaded.controls.get());
    window.signal_hide().connect([] {
        if (gtk_main_level() > 0) gtk_main_quit();
    });
    handle_waiting_events();
    event_gate().open();

    event_gate().raise(s.definition->bindings, ui::Event::Created);
    if (!s.loaded.window) return;  // a handler closed it: nothing to show

    const Point origin = centred_origin(window.get_screen()->get_width(), window.get_screen()->get_height(),
                                        s.definition->outer_width, s.definition->outer_height);
    window.move(origin.x, origin.y);
    window.present();
    window.focus_first_tab_stop();

    // The engine's page process takes long to start; start it now, once the
    // window shows, rather than at the first query.
    Glib::signal_idle().connect_once([] {
        if (ControlRegistry* controls = loaded_controls())
            if (view::PageView* page = controls->page_view(ui::Role::PageView)) page->warm_up();
    });
}

void run_event_loop() {
    if (!main_window()) return;
    gtk_main();
}

void close_main_window() {
    Shell& s = shell();
    ui::install_controls(nullptr);
    s.loaded.controls.reset();
    s.loaded.window.reset();
}

void orderly_end() {
    Shell& s = shell();
    event_gate().close_for_good();
    close_main_window();
    s.engine.reset();
}

int program_start() {
    start_toolkit();
    load_window();
    run_event_loop();
    orderly_end();
    return 0;
}

}  // namespace ph::app
