// The link check and the history address for any bytes typed as a link. The
// whole input is the link; it is checked as a stored and as a constant text,
// and as the absent text when empty, with the same results.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/link_check.hpp"
#include "core/texts.hpp"
#include "fuzz_args.hpp"
#include "property.hpp"

namespace ph::fuzz {
namespace {

// Accepted exactly when the bytes before the first "://" are "http" or "https".
bool accepted(std::string_view link) {
    const std::size_t separator = link.find("://");
    if (separator == std::string_view::npos) return false;
    const std::string_view scheme = link.substr(0, separator);
    return scheme == "http" || scheme == "https";
}

struct Verdict {
    bool accepted;
    std::string scheme, address;
    bool operator==(const Verdict&) const = default;
};

Verdict check(const Arg& link_arg) {
    const std::string& bytes = link_arg.bytes;
    Text link = link_arg.make();
    Text scheme = link_scheme(link);
    const bool verdict = scheme_accepted(scheme);
    Text address = make_history_address(link);

    expect(verdict == accepted(bytes), "a link is accepted exactly when its scheme is http or https");
    expect(bytes.starts_with(scheme.bytes()) &&
               (scheme.bytes().empty() || bytes.substr(scheme.bytes().size()).starts_with("://")),
           "the scheme is the start of the link, and \"://\" follows it");
    expect(address.is_stored(), "the history address is stored");
    expect(address.bytes() == std::string(texts::query_prefix.bytes()) + bytes,
           "the history address is the query prefix and the link's bytes");
    expect(link.bytes() == bytes, "the check leaves the link alone");
    return {verdict, std::string(scheme.bytes()), std::string(address.bytes())};
}

}  // namespace
}  // namespace ph::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ph::fuzz;
    const Arg link = arg_from(std::string(reinterpret_cast<const char*>(data), size), Form::stored);
    const Verdict stored = check(link);
    expect(check({link.bytes, Form::constant}) == stored, "a constant link is checked like a stored one");
    if (link.bytes.empty()) expect(check({"", Form::absent}) == stored, "an absent link is checked like an empty one");
    return 0;
}
