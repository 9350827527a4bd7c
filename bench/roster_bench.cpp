// The roster's operations on a full table of ten students; cards go to a sink that discards.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "roster.hpp"
#include "sink.hpp"

namespace {

roster::Roster full_roster() {
    roster::Roster table;
    const char* const names[] = {"김민준", "이서연", "박도윤", "최서윤", "정하준",
                                 "강지우", "조은우", "윤하은", "장시우", "임지유"};
    for (std::int32_t slot = 0; slot < roster::Roster::capacity; ++slot) {
        roster::Student& student = table.students[static_cast<std::size_t>(slot)];
        student.name = names[slot];
        student.age = 16 + slot % 3;
        student.gender = slot % 2;
        student.grade = 1 + slot % 3;
        student.number = slot + 1;
    }
    table.count = roster::Roster::capacity;
    return table;
}

// Runs `operation` on a full table, output discarded, with `answers` typed in advance of each run.
template <typename Operation>
void on_full_roster(benchmark::State& state, Operation operation, const char* answers = "") {
    roster::Roster table = full_roster();
    bench::NullSink sink;
    {
        bench::Console console(sink);
        for (auto _ : state) {
            console.answer(answers);
            operation(table);
        }
    }
    benchmark::DoNotOptimize(sink.bytes());
    if (table.count != roster::Roster::capacity) state.SkipWithError("the table lost a student");
}

void list_all(benchmark::State& state) {
    on_full_roster(state, [](const roster::Roster& table) { table.list_all(); });
}
BENCHMARK(list_all);

void list_grade(benchmark::State& state) {
    on_full_roster(state, [](const roster::Roster& table) { benchmark::DoNotOptimize(table.list_grade(2)); });
}
BENCHMARK(list_grade);

void find_by_name_last(benchmark::State& state) {
    const std::string wanted = "임지유";
    on_full_roster(state, [&](const roster::Roster& table) { benchmark::DoNotOptimize(table.find_by_name(wanted)); });
}
BENCHMARK(find_by_name_last);

void find_by_name_missing(benchmark::State& state) {
    const std::string wanted = "홍길동";
    on_full_roster(state, [&](const roster::Roster& table) { benchmark::DoNotOptimize(table.find_by_name(wanted)); });
}
BENCHMARK(find_by_name_missing);

void register_next_when_full(benchmark::State& state) {
    on_full_roster(state, [](roster::Roster& table) { benchmark::DoNotOptimize(table.register_next()); });
}
BENCHMARK(register_next_when_full);

// Removing the last student and registering one again, with the answers typed in advance.
void delete_last_then_register(benchmark::State& state) {
    on_full_roster(
        state,
        [](roster::Roster& table) {
            table.delete_last();
            benchmark::DoNotOptimize(table.register_next());
        },
        "Kim 17 2 1\n");
}
BENCHMARK(delete_last_then_register);

}  // namespace
