#include "app/runtime_error.hpp"

#include <gtkmm.h>

#include <cstdio>
#include <cstdlib>

#include "app/event_gate.hpp"
#include "app/shell.hpp"
#include "core/codepage.hpp"
#include "core/storage.hpp"
#include "core/texts.hpp"

namespace ph::app {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::int32_t kExitAfterReport = 255;  // -1 as an exit status

}  // namespace

std::string runtime_error_report(std::string_view message, std::int32_t code, std::string_view detail) {
    std::string report(texts::error_heading.bytes());
    report += kLineBreak;
    report += kLineBreak;
    if (code != 0) {
        report.append(texts::error_code_label.bytes()).append(std::to_string(code));
        report += kLineBreak;
        report += kLineBreak;
    }
    if (!message.empty()) {
        report.append(texts::error_message_label.bytes()).append(message);
        report += kLineBreak;
        report += kLineBreak;
    }
    report += detail;
    return report;
}

void report_runtime_error(std::string_view message, std::int32_t code, std::string_view detail) {
    event_gate().close_for_good();
    const std::string report = to_utf8(runtime_error_report(message, code, detail));
    if (toolkit_is_up()) {
        Gtk::MessageDialog box(report, false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK, true);
        box.set_title(to_utf8(texts::error_title));
        box.run();
    } else {
        std::fprintf(stderr, "%s\n", report.c_str());
    }
    orderly_end();
    std::exit(kExitAfterReport);
}

void report_storage_failure(std::int64_t bytes_asked) {
    report_runtime_error(format_storage_failure(bytes_asked), 0, "0, 0");
}

}  // namespace ph::app
