// text_between with arbitrary texts and markers built from pieces that
// matter: random bytes, the quote marker "#引号", double quotes and two-byte
// characters. The part must be the one the plain restatement locates, lie
// between the markers, and not depend on the texts' forms.
//
// Input layout (numbers are taken from the end, texts from the front):
// fold-case flag, then the text, the before and the after marker, each as
// form, number of pieces (0..4) and pieces, then the start.
#include <cstdint>
#include <string>

#include "core/between.hpp"
#include "fuzz_args.hpp"
#include "property.hpp"
#include "reference.hpp"

namespace ph::fuzz {
namespace {

Arg consume_pieces(FuzzedDataProvider& in) {
    const Form form = consume_form(in);
    std::string bytes;
    for (int pieces = in.ConsumeIntegralInRange(0, 4); pieces > 0; --pieces) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: bytes += in.ConsumeRandomLengthString(); break;
        case 1: bytes += kQuoteMarker; break;
        case 2: bytes += '"'; break;
        default:  // a lead byte and any byte after it
            bytes += static_cast<char>(in.ConsumeIntegralInRange<unsigned char>(0x80, 0xFF));
            bytes += static_cast<char>(in.ConsumeIntegralInRange<unsigned char>(1, 0xFF));
            break;
        }
    }
    return arg_from(std::move(bytes), form);
}

struct Call {
    bool fold_case;
    Arg text, before, after;
    std::int32_t start;
};

Outcome run(const Call& c) {
    Text text = c.text.make();
    Text before = c.before.make();
    Text after = c.after.make();
    Text result = text_between(text, before, after, c.start, c.fold_case);
    const Outcome o = outcome_of(result);

    const std::string& hay = c.text.bytes;
    const Part part = between(hay, c.before.bytes, c.after.bytes, c.start, c.fold_case);
    expect(o.bytes == hay.substr(static_cast<std::size_t>(part.offset), static_cast<std::size_t>(part.size)),
           "text_between gives the bytes between the markers, from the text itself");
    expect(o.bytes.empty() ? o.form != Form::stored : o.form == Form::stored,
           "text_between: an empty part is never stored, any other always");

    if (!o.bytes.empty()) {
        const std::string b = with_quotes(c.before.bytes);
        const std::string a = with_quotes(c.after.bytes);
        const std::int64_t end = part.offset + part.size;
        expect(b.empty() ? part.offset == 0 : occurs_at(hay, b, part.offset - static_cast<std::int64_t>(b.size()),
                                                        c.fold_case),
               "text_between: the part follows the before marker, or starts the text when it is empty");
        expect(occurs_at(hay, a, end, c.fold_case), "text_between: the after marker follows the part");
        for (const std::int64_t q : match_places(hay, static_cast<std::int32_t>(part.offset + 1))) {
            if (q >= end) break;
            expect(!occurs_at(hay, a, q, c.fold_case), "text_between: the part ends at the first after marker");
        }
    }
    if (c.after.bytes.empty()) expect(o.bytes.empty(), "text_between: an empty after marker gives an empty part");

    expect(text.bytes() == hay && before.bytes() == c.before.bytes && after.bytes() == c.after.bytes,
           "text_between changes none of its arguments");
    return o;
}

}  // namespace
}  // namespace ph::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ph::fuzz;
    FuzzedDataProvider in(data, size);
    Call call{};
    call.fold_case = in.ConsumeBool();
    call.text = consume_pieces(in);
    call.before = consume_pieces(in);
    call.after = consume_pieces(in);
    call.start = consume_position(in, call.text.bytes.size());

    const Outcome first = run(call);
    expect(run({call.fold_case, call.text.twin(), call.before.twin(), call.after.twin(), call.start}) == first,
           "text_between: absent, empty, constant and stored texts give the same part");
    if (call.start < 1) {
        Call from_one = call;
        from_one.start = 1;
        expect(run(from_one).bytes == first.bytes, "text_between: any start below 1 is the first byte");
    }
    return 0;
}
