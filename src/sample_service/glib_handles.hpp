// The sample service names the shared GLib handles as its own.
#pragma once

#include "glib/handles.hpp"

namespace ph::sample {
using namespace ph::glib;  // NOLINT(google-build-using-namespace): one set of handles for the whole program
}  // namespace ph::sample
