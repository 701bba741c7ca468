#include "sample_service/request_stream_scanner.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace ph::sample {
namespace {

// Longer lines than this are not requests the scanner can follow.
constexpr std::size_t longest_line = 1 << 20;

bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

RequestStreamScanner::RequestStreamScanner(LineSeen on_line) : on_line_(std::move(on_line)) {}

void RequestStreamScanner::reset() {
    part_ = Part::request_line;
    line_.clear();
    spaces_ = 0;
    body_left_ = 0;
    chunked_ = false;
    length_unknown_ = false;
}

RequestStreamScanner::Step RequestStreamScanner::convert(std::string_view in, std::span<char> out,
                                                         bool input_at_end) {
    Step step;
    auto stop = [&](Outcome when_nothing_done) {
        step.outcome = step.read > 0 ? Outcome::converted : when_nothing_done;
        return step;
    };
    if (in.empty()) return stop(input_at_end ? Outcome::finished : Outcome::need_input);

    while (step.read < in.size()) {
        const std::size_t room = out.size() - step.written;
        if (part_ == Part::body || part_ == Part::opaque) {
            std::size_t n = std::min(in.size() - step.read, room);
            if (part_ == Part::body) n = static_cast<std::size_t>(std::min<std::uint64_t>(n, body_left_));
            if (n == 0) return stop(Outcome::need_space);
            std::memcpy(out.data() + step.written, in.data() + step.read, n);
            step.read += n;
            step.written += n;
            if (part_ == Part::body && (body_left_ -= n) == 0) part_ = Part::request_line;
            continue;
        }

        const char byte = in[step.read];
        std::string_view written(&in[step.read], 1);
        if (byte == '%' && in_target()) {
            const std::size_t following = in.size() - step.read - 1;
            if (following < 2 && !input_at_end) return stop(Outcome::need_input);
            const bool starts_escape =
                following >= 2 && is_hex_digit(in[step.read + 1]) && is_hex_digit(in[step.read + 2]);
            if (!starts_escape) written = "%25";
        }
        if (written.size() > room) return stop(Outcome::need_space);
        std::memcpy(out.data() + step.written, written.data(), written.size());
        step.written += written.size();
        ++step.read;
        follow(byte);
    }
    step.outcome = Outcome::converted;
    return step;
}

void RequestStreamScanner::follow(char byte) {
    if (part_ == Part::request_line && line_.empty() && (byte == '\r' || byte == '\n')) return;
    if (byte != '\n') {
        if (line_.size() == longest_line) {
            part_ = Part::opaque;
            line_.clear();
            return;
        }
        line_ += byte;
        if (byte == ' ' && part_ == Part::request_line) ++spaces_;
        return;
    }
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    if (part_ == Part::request_line) {
        if (on_line_) on_line_(line_);
        part_ = Part::header_lines;
        spaces_ = 0;
        body_left_ = 0;
        chunked_ = false;
        length_unknown_ = false;
    } else {
        end_of_header_line();
    }
    line_.clear();
}

void RequestStreamScanner::end_of_header_line() {
    if (line_.empty()) {  // the end of the head
        if (chunked_ || length_unknown_)
            part_ = Part::opaque;  // the next request cannot be found
        else
            part_ = body_left_ > 0 ? Part::body : Part::request_line;
        return;
    }
    const std::string_view line = line_;
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const auto name = trimmed(line.substr(0, colon));
    const auto value = trimmed(line.substr(colon + 1));
    if (same_name(name, "Content-Length")) {
        std::uint64_t length = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
        if (error != std::errc() || end != value.data() + value.size())
            length_unknown_ = true;
        else
            body_left_ = length;
    } else if (same_name(name, "Transfer-Encoding")) {
        chunked_ = true;  // any coding but none leaves the body's end to the chunks
    }
}

}  // namespace ph::sample
