// draw_box: the prepared rows written for every line, into a sink that discards, and through
// standard output's stream (with the UTF-8 conversion in that build) into /dev/null.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "box_size.hpp"
#include "console/output.hpp"
#include "sink.hpp"

namespace {

boxdraw::BoxSize box_of(const benchmark::State& state) {
    return {static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1))};
}

void set_cells(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
    state.SetLabel("items = cells");
}

void draw_box_discarded(benchmark::State& state) {
    const boxdraw::BoxSize box = box_of(state);
    bench::NullSink sink;
    {
        const bench::Console to(sink);
        for (auto _ : state) box.draw_box();
    }
    benchmark::DoNotOptimize(sink.bytes());
    set_cells(state);
}
BENCHMARK(draw_box_discarded)->Args({80, 25})->Args({1000, 1000})->Args({10000, 100})->Args({100000, 3});

void draw_box_to_dev_null(benchmark::State& state) {
    const boxdraw::BoxSize box = box_of(state);
    const bench::DiscardingFd null;
    console::ConsoleOutput output(null.get(), false, console::Encoding::utf8);
    {
        const bench::Console to(output);
        for (auto _ : state) box.draw_box();
    }
    set_cells(state);
}
BENCHMARK(draw_box_to_dev_null)->Args({80, 25})->Args({1000, 1000})->Args({10000, 100})->Args({100000, 3});

}  // namespace
