#include "app/widgets/unbounded_entry_buffer.hpp"

#include <gtest/gtest.h>
#include <gtkmm/entry.h>

#include <string>

namespace {

using ph::app::make_unbounded_entry_buffer;

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// Texts the toolkit's own buffer would cut at 65,534 bytes. Lengths come
// from the buffer: the entry's own length call is only 16 bits wide.
TEST(UnboundedEntryBuffer, HoldsTextsOfAnyLengthWhole) {
    Gtk::Entry box(make_unbounded_entry_buffer());
    const std::string texts[] = {
        "http://a/" + repeated("7", 65535 - 9),
        repeated("\U00020000", 65535),  // four bytes each
        repeated("商", 70000),
        "",
    };
    for (const std::string& text : texts) {
        box.set_text(text);
        EXPECT_EQ(box.get_text().raw(), text);
        EXPECT_EQ(static_cast<glong>(box.get_buffer()->get_length()), g_utf8_strlen(text.c_str(), -1));
    }
}

// Positions count characters, not bytes, and the box hears of every change.
TEST(UnboundedEntryBuffer, EditsByCharacterPosition) {
    struct Edit {
        const char* name;
        int insert_at;  // -1: no insert
        const char* inserted;
        int delete_from;  // -1: no delete
        int delete_to;    // -1: to the end
        const char* expected;
    };
    const Edit edits[] = {
        {"insert between two-byte and four-byte characters", 2, "品", -1, 0, "a商品\U00020000b"},
        {"insert past the end appends", 99, "c", -1, 0, "a商\U00020000bc"},
        {"insert at the start", 0, "🍄", -1, 0, "🍄a商\U00020000b"},
        {"delete a four-byte character", -1, "", 2, 3, "a商b"},
        {"delete to the end", -1, "", 1, -1, "a"},
        {"delete past the end is held to it", -1, "", 3, 99, "a商\U00020000"},
        {"delete nothing", -1, "", 2, 2, "a商\U00020000b"},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        Gtk::Entry box(make_unbounded_entry_buffer());
        box.set_text("a商\U00020000b");
        int changes = 0;
        box.signal_changed().connect([&changes] { ++changes; });
        int position = edit.insert_at;
        if (edit.insert_at >= 0) box.insert_text(edit.inserted, -1, position);
        if (edit.delete_from >= 0) box.delete_text(edit.delete_from, edit.delete_to);
        EXPECT_EQ(box.get_text().raw(), edit.expected);
        EXPECT_EQ(static_cast<glong>(box.get_buffer()->get_length()), g_utf8_strlen(edit.expected, -1));
        EXPECT_EQ(changes > 0, std::string(edit.expected) != "a商\U00020000b");
    }
}

}  // namespace
