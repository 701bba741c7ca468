// A GConverter that runs a request stream through a RequestStreamScanner, so a
// GConverterInputStream over a client's socket gives libsoup the stream it
// accepts while the scanner reports each request line as it was sent.
#pragma once

#include <gio/gio.h>

#include "sample_service/glib_handles.hpp"
#include "sample_service/request_stream_scanner.hpp"

namespace ph::sample {

// `on_line` runs inside libsoup's reads: it must only take note, never throw.
GObjectPtr<GConverter> make_request_tap(RequestStreamScanner::LineSeen on_line);

}  // namespace ph::sample
