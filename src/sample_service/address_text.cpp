#include "sample_service/address_text.hpp"

#include <glib.h>

#include <cstdio>

#include "sample_service/glib_handles.hpp"

namespace ph::sample {
namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string as_utf8(const std::string& bytes) {
    if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) return bytes;
    gsize written = 0;
    GCharPtr converted(g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", "GB18030", nullptr,
                                 &written, nullptr));
    if (converted) return {converted.get(), written};
    GCharPtr repaired(g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size())));
    return repaired.get();
}

}  // namespace

std::string percent_decode(std::string_view encoded) {
    std::string decoded;
    decoded.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            const int high = hex_value(encoded[i + 1]);
            const int low = hex_value(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        decoded += encoded[i];
    }
    return decoded;
}

std::string readable_address(std::string_view raw_address) {
    const std::string text = as_utf8(percent_decode(raw_address));
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            shown += escape;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string html_escape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

}  // namespace ph::sample
