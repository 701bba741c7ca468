// Makes text storage fail for real once the toolkit is up, and writes to
// stdout what the run-time error box showed before answering it with OK.
// The test that runs this expects exit code 255 from the report.
#include <gtkmm.h>

#include <cstdio>
#include <string>

#include "app/shell.hpp"
#include "core/storage.hpp"
#include "core/text.hpp"

namespace {

void* no_storage(std::size_t) { return nullptr; }

// CR and LF written as \r and \n, so the whole text stays on one line.
std::string one_line(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') line += "\\r";
        else if (c == '\n') line += "\\n";
        else if (c == '\\') line += "\\\\";
        else line += c;
    }
    return line;
}

const char* type_name(Gtk::MessageType type) {
    switch (type) {
    case Gtk::MESSAGE_INFO: return "info";
    case Gtk::MESSAGE_WARNING: return "warning";
    case Gtk::MESSAGE_QUESTION: return "question";
    case Gtk::MESSAGE_ERROR: return "error";
    case Gtk::MESSAGE_OTHER: return "other";
    }
    return "?";
}

Gtk::MessageDialog* shown_message_dialog() {
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
        if (auto* dialog = dynamic_cast<Gtk::MessageDialog*>(window); dialog && dialog->get_mapped()) return dialog;
    return nullptr;
}

bool describe_and_answer() {
    Gtk::MessageDialog* dialog = shown_message_dialog();
    if (!dialog) return true;  // not up yet: look again
    std::printf("title=%s\n", dialog->get_title().c_str());
    std::printf("text=%s\n", one_line(dialog->property_text().get_value()).c_str());
    std::printf("secondary=%s\n", one_line(dialog->property_secondary_text().get_value()).c_str());
    std::printf("markup=%d\n", dialog->property_use_markup().get_value() ? 1 : 0);
    std::printf("type=%s\n", type_name(dialog->property_message_type().get_value()));
    std::printf("buttons=%zu\n", dialog->get_action_area()->get_children().size());
    std::printf("modal=%d\n", dialog->get_modal() ? 1 : 0);
    std::fflush(stdout);
    dialog->response(Gtk::RESPONSE_OK);
    return false;
}

}  // namespace

int main() {
    ph::app::start_toolkit();  // installs the report as the storage-failure hook
    Glib::signal_timeout().connect(&describe_and_answer, 20);
    ph::set_storage_allocator(no_storage);
    const ph::Text joined = ph::text_join(ph::Text::constant("0123456789abcdef"));
    std::printf("not reported: %zu bytes joined\n", joined.bytes().size());
    return 0;
}
