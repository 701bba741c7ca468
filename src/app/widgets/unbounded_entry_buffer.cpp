#include "app/widgets/unbounded_entry_buffer.hpp"

#include <gtk/gtk.h>

namespace ph::app {
namespace {

struct UnboundedEntryBuffer {
    GtkEntryBuffer parent;
    GString* text;  // owned; UTF-8, always terminated
    guint characters;
};

struct UnboundedEntryBufferClass {
    GtkEntryBufferClass parent;
};

GType unbounded_entry_buffer_get_type();
G_DEFINE_TYPE(UnboundedEntryBuffer, unbounded_entry_buffer, GTK_TYPE_ENTRY_BUFFER)

UnboundedEntryBuffer* self(GtkEntryBuffer* buffer) { return reinterpret_cast<UnboundedEntryBuffer*>(buffer); }

gsize byte_offset(const UnboundedEntryBuffer* buffer, guint position) {
    return g_utf8_offset_to_pointer(buffer->text->str, position) - buffer->text->str;
}

const gchar* get_text(GtkEntryBuffer* buffer, gsize* n_bytes) {
    const GString* text = self(buffer)->text;
    if (n_bytes) *n_bytes = text->len;
    return text->str;
}

guint get_length(GtkEntryBuffer* buffer) { return self(buffer)->characters; }

// The caller has already held `position` to the length and counted `n_chars`.
guint insert_text(GtkEntryBuffer* buffer, guint position, const gchar* chars, guint n_chars) {
    UnboundedEntryBuffer* store = self(buffer);
    const gsize n_bytes = g_utf8_offset_to_pointer(chars, n_chars) - chars;
    g_string_insert_len(store->text, byte_offset(store, position), chars, n_bytes);
    store->characters += n_chars;
    gtk_entry_buffer_emit_inserted_text(buffer, position, chars, n_chars);
    return n_chars;
}

guint delete_text(GtkEntryBuffer* buffer, guint position, guint n_chars) {
    UnboundedEntryBuffer* store = self(buffer);
    if (position > store->characters) position = store->characters;
    if (n_chars > store->characters - position) n_chars = store->characters - position;
    if (n_chars == 0) return 0;
    const gsize start = byte_offset(store, position);
    const gsize end = byte_offset(store, position + n_chars);
    g_string_erase(store->text, start, end - start);
    store->characters -= n_chars;
    gtk_entry_buffer_emit_deleted_text(buffer, position, n_chars);
    return n_chars;
}

void finalize(GObject* object) {
    g_string_free(self(GTK_ENTRY_BUFFER(object))->text, TRUE);
    G_OBJECT_CLASS(unbounded_entry_buffer_parent_class)->finalize(object);
}

void unbounded_entry_buffer_class_init(UnboundedEntryBufferClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = finalize;
    GtkEntryBufferClass* buffer = GTK_ENTRY_BUFFER_CLASS(klass);
    buffer->get_text = get_text;
    buffer->get_length = get_length;
    buffer->insert_text = insert_text;
    buffer->delete_text = delete_text;
}

void unbounded_entry_buffer_init(UnboundedEntryBuffer* buffer) {
    buffer->text = g_string_new(nullptr);
    buffer->characters = 0;
}

}  // namespace

Glib::RefPtr<Gtk::EntryBuffer> make_unbounded_entry_buffer() {
    // The wrapper takes over the one reference that g_object_new gives.
    return Glib::wrap(GTK_ENTRY_BUFFER(g_object_new(unbounded_entry_buffer_get_type(), nullptr)), false);
}

}  // namespace ph::app
