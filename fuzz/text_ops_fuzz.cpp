// The text operations against their plain restatements, with arbitrary texts,
// positions and counts, and each call made twice: once with the texts as
// decoded, once with each in another form (absent, empty, constant, stored),
// which must not change the result.
//
// Input layout (numbers are taken from the end, texts from the front):
// operation, fold-case flag, number of join pieces, then four texts
// (fuzz_args.hpp), then start and count.
#include <array>
#include <cstdint>
#include <string>

#include "core/text.hpp"
#include "fuzz_args.hpp"
#include "property.hpp"
#include "reference.hpp"

namespace ph::fuzz {
namespace {

enum class Op : std::uint8_t { size, slice, search, substitute, compare, join, release, last = release };

struct Call {
    Op op;
    bool fold_case;
    int join_pieces;  // 1..4
    std::array<Arg, 4> args;
    std::int32_t start, count;
};

Outcome size_of(const Arg& a, const Text& t) {
    const std::int32_t n = text_size(t);
    expect(n == static_cast<std::int64_t>(a.bytes.size()), "text_size counts the bytes");
    return outcome_of(n);
}

Outcome slice_of(const Call& c, const Text& t) {
    Text part = text_slice(t, c.start, c.count);
    const Outcome o = outcome_of(part);
    expect(o.bytes == slice(c.args[0].bytes, c.start, c.count), "text_slice cuts the bytes at start, count long");
    expect_absent_exactly_when_empty(o, "text_slice: absent exactly when empty");
    return o;
}

Outcome search_in(const Call& c, const Text& t, const Text& pattern) {
    const std::string& hay = c.args[0].bytes;
    const std::string& needle = c.args[1].bytes;
    const std::int32_t found = text_search(t, pattern, c.start, c.fold_case);
    expect(found == search(hay, needle, c.start, c.fold_case),
           "text_search finds the first match at a character start");
    if (found != -1) {
        expect(found >= 1 && found <= static_cast<std::int64_t>(hay.size()), "text_search: a position in the text");
        expect(needle.empty() || (occurs_at(hay, needle, found - 1, c.fold_case) &&
                                  found - 1 >= first_searched(c.start)),
               "text_search: the pattern lies there, at or after start");
    }
    return outcome_of(found);
}

Outcome substitution_of(const Call& c, const Text& t, const Text& old, const Text& replacement) {
    const bool case_sensitive = !c.fold_case;
    Text result = text_substitute(t, old, replacement, c.start, c.count, case_sensitive);
    const Outcome o = outcome_of(result);
    const std::string& text = c.args[0].bytes;
    expect(o.bytes == substitute(text, c.args[1].bytes, c.args[2].bytes, c.start, c.count, case_sensitive),
           "text_substitute replaces what a chain of searches finds");
    if (!c.args[1].bytes.empty() && search(text, c.args[1].bytes, c.start, c.fold_case) == -1)
        expect(o.bytes == text, "text_substitute with nothing to replace gives the text back");
    expect_absent_exactly_when_empty(o, "text_substitute: absent exactly when empty");
    return o;
}

Outcome comparison_of(const Call& c, const Text& a, const Text& b, const Text& third) {
    const int ab = text_compare(a, b);
    const int bc = text_compare(b, third);
    const int ac = text_compare(a, third);
    expect(ab == compare(c.args[0].bytes, c.args[1].bytes), "text_compare orders by unsigned bytes");
    expect(text_compare(b, a) == -ab, "text_compare is antisymmetric");
    expect(text_compare(a, a) == 0 && text_compare(b, b) == 0, "text_compare is reflexive");
    expect(!(ab <= 0 && bc <= 0) || ac <= 0, "text_compare is transitive");
    return outcome_of(ab);
}

Outcome join_of(const Call& c, const std::array<Text, 4>& t) {
    Text joined;
    switch (c.join_pieces) {
    case 1: joined = text_join(t[0]); break;
    case 2: joined = text_join(t[0], t[1]); break;
    case 3: joined = text_join(t[0], t[1], t[2]); break;
    default: joined = text_join(t[0], t[1], t[2], t[3]); break;
    }
    std::string expected;
    std::int64_t sizes = 0;
    for (int i = 0; i < c.join_pieces; ++i) {
        expected += c.args[static_cast<std::size_t>(i)].bytes;
        sizes += text_size(t[static_cast<std::size_t>(i)]);
    }
    expect(text_size(joined) == sizes, "text_join: the size is the sum of the sizes");
    expect(joined.bytes() == expected, "text_join puts the pieces one after the other");
    expect(joined.is_stored(), "text_join is always stored");
    return outcome_of(joined);
}

// Releasing depends on the form by contract, so its outcome carries nothing
// to compare between the two runs.
Outcome release_of(const Arg& a, bool of_a_joined_copy) {
    Text t = of_a_joined_copy ? text_join(a.make()) : a.make();
    const bool was_constant = t.is_constant();
    const std::string before(t.bytes());
    for (int round = 0; round < 2; ++round) {  // a second release is harmless
        text_release(t);
        if (was_constant) {
            expect(t.is_constant() && t.bytes() == before, "text_release leaves a constant alone");
        } else {
            expect(t.is_absent() && text_size(t) == 0 && *t.c_str() == '\0', "text_release leaves the text absent");
        }
    }
    return {};
}

Outcome run(const Call& c) {
    std::array<Text, 4> t;
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = c.args[i].make();
    Outcome o;
    switch (c.op) {
    case Op::size: o = size_of(c.args[0], t[0]); break;
    case Op::slice: o = slice_of(c, t[0]); break;
    case Op::search: o = search_in(c, t[0], t[1]); break;
    case Op::substitute: o = substitution_of(c, t[0], t[1], t[2]); break;
    case Op::compare: o = comparison_of(c, t[0], t[1], t[2]); break;
    case Op::join: o = join_of(c, t); break;
    case Op::release: o = release_of(c.args[0], c.fold_case); break;
    }
    for (std::size_t i = 0; i < t.size(); ++i)
        expect(t[i].bytes() == c.args[i].bytes && form_of(t[i]) == c.args[i].form,
               "no operation changes its arguments");
    return o;
}

}  // namespace
}  // namespace ph::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ph::fuzz;
    FuzzedDataProvider in(data, size);
    Call call{};
    call.op = static_cast<Op>(in.ConsumeIntegralInRange(0, static_cast<int>(Op::last)));
    call.fold_case = in.ConsumeBool();
    call.join_pieces = in.ConsumeIntegralInRange(1, 4);
    for (Arg& a : call.args) a = consume_arg(in);
    call.start = consume_position(in, call.args[0].bytes.size());
    call.count = consume_position(in, call.args[0].bytes.size());

    const Outcome first = run(call);
    Call twin = call;
    for (Arg& a : twin.args) a = a.twin();
    expect(run(twin) == first, "absent, empty, constant and stored texts give the same results");
    return 0;
}
