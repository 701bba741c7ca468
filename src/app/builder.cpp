#include "app/builder.hpp"

#include <ranges>

#include "app/event_gate.hpp"
#include "app/icon/window_icon.hpp"
#include "app/kinds.hpp"

namespace ph::app {
namespace {

ui::Event event_of(view::PageViewEvent event) {
    switch (event) {
    case view::PageViewEvent::BeforeNavigate: return ui::Event::BeforeNavigate;
    case view::PageViewEvent::NavigateComplete: return ui::Event::NavigateComplete;
    case view::PageViewEvent::DocumentComplete: return ui::Event::DocumentComplete;
    case view::PageViewEvent::DownloadBegin: return ui::Event::DownloadBegin;
    case view::PageViewEvent::DownloadComplete: return ui::Event::DownloadComplete;
    case view::PageViewEvent::ProgressChange: return ui::Event::ProgressChange;
    case view::PageViewEvent::StatusTextChange: return ui::Event::StatusTextChange;
    case view::PageViewEvent::TitleChange: return ui::Event::TitleChange;
    case view::PageViewEvent::CommandStateChange: return ui::Event::CommandStateChange;
    case view::PageViewEvent::NewWindow: return ui::Event::NewWindow;
    }
    return ui::Event::CommandStateChange;
}

// Every event a control can raise goes through the gate to its bindings.
void bind_events(const ui::ControlDefinition& definition, Gtk::Widget& widget) {
    const std::span<const ui::Binding> bindings = definition.bindings;
    if (auto* button = dynamic_cast<Gtk::Button*>(&widget))
        button->signal_clicked().connect([bindings] { event_gate().raise(bindings, ui::Event::Clicked); });
    if (auto* page = dynamic_cast<view::PageView*>(&widget))
        page->on_event([bindings](view::PageViewEvent event) { event_gate().raise(bindings, event_of(event)); });
}

}  // namespace

BuiltWindow build_window(const ui::WindowDefinition& definition, const ControlFactory& make) {
    BuiltWindow built;
    built.window = std::make_unique<MainWindow>(definition);
    MainWindow& window = *built.window;
    if (Glib::RefPtr<Gdk::Pixbuf> icon = load_window_icon()) window.set_icon(icon);

    built.controls = std::make_unique<ControlRegistry>(window);
    ControlRegistry& controls = *built.controls;
    for (const ui::ControlDefinition& row : definition.controls | std::views::reverse) {
        Gtk::Widget* widget = make(row);
        if (!widget) {
            built.failed_control = row.name;
            built.controls.reset();
            built.window.reset();  // takes every control made so far with it
            return built;
        }
        widget->set_name(row.name);
        widget->set_sensitive(!row.disabled);
        widget->set_can_focus(row.tab_stop && !dynamic_cast<view::PageView*>(widget));

        Container parent = &window.client();
        if (row.parent) parent = dynamic_cast<Gtk::Layout*>(controls.find(*row.parent)->widget);
        ui::Rect place = row.rect;
        if (row.kind == ui::ControlKind::EditBox) place.height = edit_box_height(*widget, place.height);
        controls.add(row, *widget, parent, place);
        bind_events(row, *widget);
    }

    // Tab order is creation order: the last row first.
    std::vector<Gtk::Widget*> tab_stops;
    for (const ui::ControlDefinition& row : definition.controls | std::views::reverse)
        if (row.tab_stop) tab_stops.push_back(controls.find(row.role)->widget);
    window.set_tab_stops(std::move(tab_stops));

    for (const ui::ControlDefinition& row : definition.controls)
        if (row.visible) controls.write_visible(row.role, true);
    return built;
}

}  // namespace ph::app
