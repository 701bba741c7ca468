#include "core/text.hpp"

#include <cstring>

#include "core/storage.hpp"

namespace ph {
namespace {

constexpr unsigned char kFirstOfTwoBytes = 0x80;

bool starts_two_byte_character(unsigned char byte) noexcept { return byte >= kFirstOfTwoBytes; }

unsigned char fold_ascii(unsigned char byte) noexcept {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 0x20) : byte;
}

bool same_bytes(const char* a, const char* b, std::int32_t length, bool fold_case) noexcept {
    if (!fold_case) return std::memcmp(a, b, static_cast<std::size_t>(length)) == 0;
    for (std::int32_t i = 0; i < length; ++i)
        if (fold_ascii(static_cast<unsigned char>(a[i])) != fold_ascii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The 0-based first byte that a 1-based start position names, never negative.
std::int64_t first_byte(std::int32_t start) noexcept {
    const std::int64_t b = static_cast<std::int64_t>(start) - 1;
    return b < 0 ? 0 : b;
}

// Size of the character that starts at byte q of a text of n bytes: two for
// a byte >= 0x80, but never past the end.
std::int64_t character_size(std::string_view bytes, std::int64_t q) noexcept {
    const bool pair = starts_two_byte_character(static_cast<unsigned char>(bytes[static_cast<std::size_t>(q)]));
    return (pair && q + 1 < static_cast<std::int64_t>(bytes.size())) ? 2 : 1;
}

}  // namespace

// Builds a new stored text of a known size in place.
class TextBuilder {
public:
    explicit TextBuilder(std::int64_t size) : storage_(allocate_text_bytes(size)), size_(size) {}
    void append(std::string_view piece) noexcept {
        std::memcpy(storage_ + filled_, piece.data(), piece.size());
        filled_ += static_cast<std::int64_t>(piece.size());
    }
    Text finish() noexcept {
        storage_[filled_] = '\0';
        return Text(storage_, static_cast<std::int32_t>(size_));
    }

private:
    char* storage_;
    std::int64_t size_;
    std::int64_t filled_ = 0;
};

Text::Text(char* storage, std::int32_t size) noexcept : data_(storage), size_(size), kind_(Kind::stored) {}

Text Text::stored(std::string_view bytes) {
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
    TextBuilder builder(static_cast<std::int64_t>(bytes.size()));
    builder.append(bytes);
    return builder.finish();
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        text_release(*this);
        data_ = other.data_;
        size_ = other.size_;
        kind_ = other.kind_;
        other.data_ = nullptr;
        other.size_ = 0;
        other.kind_ = Kind::absent;
    }
    return *this;
}

void Text::free_storage() noexcept { free_text_bytes(const_cast<char*>(data_)); }

std::int32_t text_size(const Text& t) noexcept { return static_cast<std::int32_t>(t.bytes().size()); }

Text text_slice(const Text& t, std::int32_t start, std::int32_t count) {
    const std::int64_t n = text_size(t);
    const std::int64_t p = static_cast<std::int64_t>(start) - 1;
    if (p < 0 || p >= n || count <= 0) return Text();
    const std::int64_t length = count < n - p ? count : n - p;
    TextBuilder builder(length);
    builder.append(t.bytes().substr(static_cast<std::size_t>(p), static_cast<std::size_t>(length)));
    return builder.finish();
}

std::int32_t text_search(const Text& t, const Text& pattern, std::int32_t start, bool case_insensitive) noexcept {
    const std::string_view bytes = t.bytes();
    const std::int64_t n = static_cast<std::int64_t>(bytes.size());
    const std::int64_t m = text_size(pattern);
    std::int64_t q = first_byte(start);
    if (q >= n) return -1;
    if (m == 0) return 1;
    while (n - q >= m) {
        if (same_bytes(bytes.data() + q, pattern.c_str(), static_cast<std::int32_t>(m), case_insensitive))
            return static_cast<std::int32_t>(q + 1);
        const std::int64_t step = character_size(bytes, q);
        // A lead byte just before the terminating zero ends the search.
        if (step == 1 && starts_two_byte_character(static_cast<unsigned char>(bytes[static_cast<std::size_t>(q)])))
            return -1;
        q += step;
    }
    return -1;
}

namespace {

// Walks the replacement of text_substitute, handing each piece of the result
// to `emit`. Run once to size the result and once to fill it.
template <typename Emit>
void walk_substitution(std::string_view t, std::string_view old, std::string_view replacement, std::int64_t b,
                       std::int32_t count, bool case_sensitive, Emit emit) {
    const std::int64_t n = static_cast<std::int64_t>(t.size());
    const std::int64_t m = static_cast<std::int64_t>(old.size());
    std::int64_t budget = count;  // negative: no limit
    emit(t.substr(0, static_cast<std::size_t>(b)));
    std::int64_t q = b;
    while (n - q >= m) {
        if (same_bytes(t.data() + q, old.data(), static_cast<std::int32_t>(m), !case_sensitive)) {
            emit(replacement);
            q += m;
            if (budget > 0 && --budget == 0) break;
        } else {
            const std::int64_t step = character_size(t, q);
            emit(t.substr(static_cast<std::size_t>(q), static_cast<std::size_t>(step)));
            q += step;
        }
    }
    emit(t.substr(static_cast<std::size_t>(q)));
}

}  // namespace

Text text_substitute(const Text& t, const Text& old, const Text& replacement, std::int32_t start,
                     std::int32_t count, bool case_sensitive) {
    const std::int64_t n = text_size(t);
    const std::int64_t b = first_byte(start);
    if (n == 0) return Text();
    if (text_size(old) == 0 || b >= n || count == 0) return Text::stored(t.bytes());

    std::int64_t size = 0;
    walk_substitution(t.bytes(), old.bytes(), replacement.bytes(), b, count, case_sensitive,
                      [&](std::string_view piece) { size += static_cast<std::int64_t>(piece.size()); });
    if (size == 0) return Text();
    TextBuilder builder(size);
    walk_substitution(t.bytes(), old.bytes(), replacement.bytes(), b, count, case_sensitive,
                      [&](std::string_view piece) { builder.append(piece); });
    return builder.finish();
}

int text_compare(const Text& a, const Text& b) noexcept {
    // string_view compares as unsigned char, and a proper beginning is smaller.
    const int order = a.bytes().compare(b.bytes());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

Text text_join(std::initializer_list<const Text*> pieces) {
    std::int64_t size = 0;
    for (const Text* piece : pieces) size += text_size(*piece);
    TextBuilder builder(size);
    for (const Text* piece : pieces) builder.append(piece->bytes());
    return builder.finish();
}

void text_release(Text& t) noexcept {
    if (t.kind_ != Text::Kind::stored) return;
    t.free_storage();
    t.data_ = nullptr;
    t.size_ = 0;
    t.kind_ = Text::Kind::absent;
}

}  // namespace ph
