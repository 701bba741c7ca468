// The run-time error report: the one way the program stops when something
// that must not fail fails.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ph::app {

// The report's text in the program's code page, lines joined by CR LF:
// the heading, an empty line, the code (when not 0), the message (when not
// empty), then the detail lines.
std::string runtime_error_report(std::string_view message, std::int32_t code, std::string_view detail);

// Closes the event gate for good, shows the report in a modal box titled
// "错误" with an OK button and the error icon, runs the orderly end and exits
// with code 255. `message` and `detail` are program code page bytes.
[[noreturn]] void report_runtime_error(std::string_view message, std::int32_t code, std::string_view detail);

// Storage failures of texts end here, with the bytes asked for.
[[noreturn]] void report_storage_failure(std::int64_t bytes_asked);

}  // namespace ph::app
