#include "core/codepage.hpp"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace ph {
namespace {

constexpr const char* kProgramCodePage = "GB18030";

struct IconvCloser {
    void operator()(iconv_t cd) const noexcept { iconv_close(cd); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Converter open_converter(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    // glibc always has both code pages; a libc without them cannot run us.
    if (cd == reinterpret_cast<iconv_t>(-1)) std::abort();
    return Converter(cd);
}

// Converts all of `in`; each byte that cannot be converted is skipped and
// `substitute` is written in its place.
std::string convert(iconv_t cd, std::string_view in, std::string_view substitute) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 2 + 4);
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char buffer[4096];
    while (src_left > 0) {
        char* dst = buffer;
        std::size_t dst_left = sizeof buffer;
        const std::size_t done = iconv(cd, &src, &src_left, &dst, &dst_left);
        const int error = errno;
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (done != static_cast<std::size_t>(-1) || error == E2BIG) continue;
        // EILSEQ or EINVAL (an incomplete sequence at the end): skip one byte.
        out.append(substitute);
        ++src;
        --src_left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

std::string to_utf8(std::string_view program_bytes) {
    // One converter per thread: iconv handles keep state between calls.
    thread_local const Converter cd = open_converter("UTF-8", kProgramCodePage);
    return convert(cd.get(), program_bytes, "\xEF\xBF\xBD");
}

std::string to_utf8(const Text& t) { return to_utf8(t.bytes()); }

Text text_from_utf8(std::string_view utf8) {
    thread_local const Converter cd = open_converter(kProgramCodePage, "UTF-8");
    if (utf8.empty()) return Text();
    return Text::stored(convert(cd.get(), utf8, "?"));
}

}  // namespace ph
