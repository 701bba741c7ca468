#include "scene.hpp"

#include <gdkmm/general.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

namespace ph::test {

void settle() {
    while (gtk_events_pending()) gtk_main_iteration_do(false);
}

namespace {

// Lets one whole frame of the widget's window run (layout, then painting).
// Frames come from a clock, not as pending events, so settle() alone may
// return before the pending size changes and redraws are done.
void run_one_frame(Gtk::Widget& widget) {
    GdkFrameClock* clock = gtk_widget_get_frame_clock(widget.gobj());
    ASSERT_NE(clock, nullptr) << "the widget is not on a shown window";

    bool painted = false;
    const gulong handler = g_signal_connect_swapped(
        clock, "after-paint", G_CALLBACK(+[](bool* flag) { *flag = true; }), &painted);
    bool timed_out = false;
    auto timeout = Glib::signal_timeout().connect(
        [&timed_out] {
            timed_out = true;
            return false;
        },
        5000);

    gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_AFTER_PAINT);
    while (!painted && !timed_out) gtk_main_iteration_do(true);

    timeout.disconnect();
    g_signal_handler_disconnect(clock, handler);
    ASSERT_TRUE(painted) << "no frame within 5 s";
    settle();
}

}  // namespace

Scene::Scene(int width, int height) : width_(width), height_(height) {
    fixed_.set_size_request(width, height);
    // Connected before the default handler, so this paints under the children.
    fixed_.signal_draw().connect(
        [](const Cairo::RefPtr<Cairo::Context>& cr) {
            cr->set_source_rgb(background.red / 255.0, background.green / 255.0, background.blue / 255.0);
            cr->paint();
            return false;
        },
        false);
    window_.add(fixed_);
    window_.show_all();
    settle();
}

void Scene::put(Gtk::Widget& widget, const Area& where) {
    widget.set_size_request(where.width, where.height);
    fixed_.put(widget, where.x, where.y);
    widget.show();
    settle();
}

Picture Scene::draw() {
    run_one_frame(window_);
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, width_, height_);
    const auto cr = Cairo::Context::create(surface);
    gtk_widget_draw(GTK_WIDGET(window_.gobj()), cr->cobj());
    return Picture(surface);
}

Picture Scene::shown() {
    run_one_frame(window_);
    const auto pixbuf = window_.get_pixbuf();
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, width_, height_);
    const auto cr = Cairo::Context::create(surface);
    Gdk::Cairo::set_source_pixbuf(cr, pixbuf, 0, 0);
    cr->paint();
    return Picture(surface);
}

}  // namespace ph::test
