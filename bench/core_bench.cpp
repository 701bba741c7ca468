// The query core's cost per link: the scheme check and the history address,
// as the Query handler runs them, for links from 100 bytes to the longest a
// link box holds (65,535 bytes). Both should grow linearly with the length.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "core/link_check.hpp"
#include "core/text.hpp"

namespace {

constexpr std::int64_t kShortest = 100;
constexpr std::int64_t kLongest = 65535;

// An accepted link of exactly `size` bytes: a shop address padded in its query.
std::string accepted_link(std::int64_t size) {
    std::string link = "https://shop.example/item?id=7&pad=";
    link.resize(static_cast<std::size_t>(size), 'x');
    return link;
}

// A link without "://": the scheme search reads all of it, and it is rejected.
std::string rejected_link(std::int64_t size) { return std::string(static_cast<std::size_t>(size), 'x'); }

void SchemeCheckAndHistoryAddress(benchmark::State& state) {
    const ph::Text link = ph::Text::stored(accepted_link(state.range(0)));
    for (auto _ : state) {
        ph::Text scheme = ph::link_scheme(link);
        const bool accepted = ph::scheme_accepted(scheme);
        ph::Text address = ph::make_history_address(link);
        benchmark::DoNotOptimize(accepted);
        benchmark::DoNotOptimize(address.c_str());
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void SchemeCheckOfARejectedLink(benchmark::State& state) {
    const ph::Text link = ph::Text::stored(rejected_link(state.range(0)));
    for (auto _ : state) {
        ph::Text scheme = ph::link_scheme(link);
        const bool accepted = ph::scheme_accepted(scheme);
        benchmark::DoNotOptimize(accepted);
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(SchemeCheckAndHistoryAddress)->RangeMultiplier(4)->Range(kShortest, kLongest)->Complexity(benchmark::oN);
BENCHMARK(SchemeCheckOfARejectedLink)->RangeMultiplier(4)->Range(kShortest, kLongest)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
