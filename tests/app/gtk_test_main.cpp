// GTK may be set up only once per process, so the GUI tests share this main.
#include <cstdio>

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "no display: run through tests/support/with-display.sh\n");
        return 1;
    }
    Gtk::Main::init_gtkmm_internals();
    return RUN_ALL_TESTS();
}
