// The two recursions at the top of the ranges the program serves.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "recursion.hpp"

namespace {

void sum_to_65535(benchmark::State& state) {
    std::int32_t n = recursion::largest_sum_term;
    for (auto _ : state) {
        benchmark::DoNotOptimize(n);
        std::int32_t sum = recursion::sum_to(n);
        benchmark::DoNotOptimize(sum);
    }
    if (recursion::sum_to(n) != 2147450880) state.SkipWithError("wrong sum");
}
BENCHMARK(sum_to_65535);

void append_base2_digits_1023(benchmark::State& state) {
    std::int32_t m = recursion::largest_digit_source;
    for (auto _ : state) {
        recursion::digit_accumulator = 0;  // the program runs it once; each round starts afresh
        benchmark::DoNotOptimize(m);
        recursion::append_base2_digits(m);
        benchmark::DoNotOptimize(recursion::digit_accumulator);
    }
    if (recursion::digit_accumulator != 1111111111) state.SkipWithError("wrong digits");
}
BENCHMARK(append_base2_digits_1023);

}  // namespace
