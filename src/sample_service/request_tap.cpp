#include "sample_service/request_tap.hpp"

#include <memory>
#include <optional>

// The GObject type behind make_request_tap; C++ members live in the instance
// and are built and destroyed by its init and finalize.
struct PhRequestTap {
    GObject parent_instance;
    std::optional<ph::sample::RequestStreamScanner> scanner;
};

struct PhRequestTapClass {
    GObjectClass parent_class;
};

static void ph_request_tap_converter_init(GConverterIface* iface);

G_DEFINE_TYPE_WITH_CODE(PhRequestTap, ph_request_tap, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_CONVERTER, ph_request_tap_converter_init))

namespace {

PhRequestTap* tap_of(gpointer instance) {
    return G_TYPE_CHECK_INSTANCE_CAST(instance, ph_request_tap_get_type(), PhRequestTap);
}

GConverterResult tap_convert(GConverter* converter, const void* inbuf, gsize inbuf_size, void* outbuf,
                             gsize outbuf_size, GConverterFlags flags, gsize* bytes_read,
                             gsize* bytes_written, GError** error) {
    using Outcome = ph::sample::RequestStreamScanner::Outcome;
    auto& scanner = *tap_of(converter)->scanner;
    const auto step = scanner.convert({static_cast<const char*>(inbuf), inbuf_size},
                                      {static_cast<char*>(outbuf), outbuf_size},
                                      (flags & G_CONVERTER_INPUT_AT_END) != 0);
    *bytes_read = step.read;
    *bytes_written = step.written;
    switch (step.outcome) {
        case Outcome::converted:
            return (flags & G_CONVERTER_FLUSH) && step.read == inbuf_size ? G_CONVERTER_FLUSHED
                                                                          : G_CONVERTER_CONVERTED;
        case Outcome::finished:
            return G_CONVERTER_FINISHED;
        case Outcome::need_input:
            if (flags & G_CONVERTER_FLUSH) return G_CONVERTER_FLUSHED;
            g_set_error_literal(error, G_IO_ERROR, G_IO_ERROR_PARTIAL_INPUT, "more of the request is needed");
            return G_CONVERTER_ERROR;
        case Outcome::need_space:
            break;
    }
    g_set_error_literal(error, G_IO_ERROR, G_IO_ERROR_NO_SPACE, "no room for the request");
    return G_CONVERTER_ERROR;
}

void tap_reset(GConverter* converter) { tap_of(converter)->scanner->reset(); }

void tap_finalize(GObject* object) {
    std::destroy_at(&tap_of(object)->scanner);
    G_OBJECT_CLASS(ph_request_tap_parent_class)->finalize(object);
}

}  // namespace

static void ph_request_tap_converter_init(GConverterIface* iface) {
    iface->convert = tap_convert;
    iface->reset = tap_reset;
}

static void ph_request_tap_class_init(PhRequestTapClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = tap_finalize;
}

static void ph_request_tap_init(PhRequestTap* self) { std::construct_at(&self->scanner); }

namespace ph::sample {

GObjectPtr<GConverter> make_request_tap(RequestStreamScanner::LineSeen on_line) {
    auto* tap = static_cast<PhRequestTap*>(g_object_new(ph_request_tap_get_type(), nullptr));
    tap->scanner.emplace([on_line = std::move(on_line)](std::string_view line) {
        try {
            on_line(line);
        } catch (...) {
            g_warning("a request line observer failed");
        }
    });
    return GObjectPtr<GConverter>(G_CONVERTER(tap));
}

}  // namespace ph::sample
