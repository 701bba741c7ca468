// Turning fuzz input into the arguments of the core's operations: texts in
// each of their three forms, and positions and counts that reach the edges.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text.hpp"
#include "property.hpp"

namespace ph::fuzz {

enum class Form : std::uint8_t { absent, constant, stored };

inline Form form_of(const Text& t) {
    return t.is_absent() ? Form::absent : (t.is_constant() ? Form::constant : Form::stored);
}

// A text argument: its bytes (never holding a zero byte, as no Text does)
// and the form to pass it in. An absent argument has no bytes.
struct Arg {
    std::string bytes;
    Form form = Form::absent;

    // The Text for this argument; a constant one points into `bytes`.
    Text make() const {
        switch (form) {
        case Form::absent: return Text();
        case Form::constant: return Text::constant(bytes.c_str());
        case Form::stored: break;
        }
        return Text::stored(bytes);
    }

    // The same bytes in another form: an empty text goes round absent,
    // stored, constant; any other swaps constant and stored. The core must
    // not tell the two apart.
    Arg twin() const {
        if (bytes.empty()) {
            static constexpr Form next[] = {Form::stored, Form::absent, Form::constant};
            return {bytes, next[static_cast<int>(form)]};
        }
        return {bytes, form == Form::constant ? Form::stored : Form::constant};
    }
};

inline Arg arg_from(std::string bytes, Form form) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (form == Form::absent) bytes.clear();
    return {std::move(bytes), form};
}

inline Form consume_form(FuzzedDataProvider& in) { return static_cast<Form>(in.ConsumeIntegralInRange(0, 2)); }

// Input layout of a text: its form, one byte from the end; its bytes from the
// front, ended by a backslash and any other byte ("\\" is one backslash).
inline Arg consume_arg(FuzzedDataProvider& in) {
    const Form form = consume_form(in);
    return arg_from(in.ConsumeRandomLengthString(), form);
}

// A position or count: mostly near a text of `size` bytes, sometimes any
// int32, sometimes the extremes. One byte picks which, from the end, then
// the value, also from the end.
inline std::int32_t consume_position(FuzzedDataProvider& in, std::size_t size) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return in.ConsumeIntegralInRange<std::int32_t>(-2, static_cast<std::int32_t>(size) + 2);
    case 1: return in.ConsumeIntegral<std::int32_t>();
    default: return in.PickValueInArray<std::int32_t>({INT32_MIN, INT32_MIN + 1, -1, INT32_MAX - 1, INT32_MAX});
    }
}

// What an operation gave, in a form two runs can be compared by.
struct Outcome {
    std::int64_t number = 0;
    std::string bytes;
    Form form = Form::absent;
    bool operator==(const Outcome&) const = default;
};

inline Outcome outcome_of(const Text& t) { return {0, std::string(t.bytes()), form_of(t)}; }
inline Outcome outcome_of(std::int64_t number) { return {number, {}, Form::absent}; }

// An empty result must never be stored, a non-empty one always is: for
// text_slice and text_substitute.
inline void expect_absent_exactly_when_empty(const Outcome& o, const char* property) {
    expect(o.bytes.empty() ? o.form == Form::absent : o.form == Form::stored, property);
}

}  // namespace ph::fuzz
