// draw_box: the prepared rows written for every line through standard output's stream, into a
// sink that discards them as the program wrote them, and, with a filler after each box-drawing
// character as on a UTF-8 terminal, into /dev/null.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

#include "box_size.hpp"
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
    // Every cell is at least a byte: less means the drawing never reached the sink.
    const auto cells = static_cast<std::size_t>(state.iterations() * state.range(0) * state.range(1));
    if (sink.bytes() < cells) state.SkipWithError("the box did not reach the sink");
    set_cells(state);
}
BENCHMARK(draw_box_discarded)->Args({80, 25})->Args({1000, 1000})->Args({10000, 100})->Args({100000, 3});

void draw_box_to_dev_null(benchmark::State& state) {
    const boxdraw::BoxSize box = box_of(state);
    bench::DevNull null;
    {
        const bench::Console to(null, 1);
        for (auto _ : state) box.draw_box();
    }
    set_cells(state);
}
BENCHMARK(draw_box_to_dev_null)->Args({80, 25})->Args({1000, 1000})->Args({10000, 100})->Args({100000, 3});

}  // namespace
