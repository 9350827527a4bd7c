// The exchange sort on the inputs that make it do least and most work.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "sorter.hpp"

namespace {

using Five = std::array<std::int32_t, sorter::number_count>;

void exchange_sort(benchmark::State& state, Five input) {
    for (auto _ : state) {
        Five numbers = input;
        benchmark::DoNotOptimize(numbers.data());
        sorter::exchange_sort(numbers);
        benchmark::DoNotOptimize(numbers.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items = sorts of five");
}
BENCHMARK_CAPTURE(exchange_sort, ascending, Five{1, 2, 3, 4, 5});
BENCHMARK_CAPTURE(exchange_sort, descending, Five{5, 4, 3, 2, 1});
BENCHMARK_CAPTURE(exchange_sort, mixed, Five{5, -2, 9, 0, -2});
BENCHMARK_CAPTURE(exchange_sort, extremes, Five{2147483647, -2147483647 - 1, 0, 2147483647, -2147483647 - 1});

}  // namespace
