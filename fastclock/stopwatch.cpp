#include "stopwatch.hpp"

#include <chrono>

namespace fastclock {
namespace {

std::int64_t now_ns() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Stopwatch::Stopwatch() : start_ns_(now_ns()) {}

std::int64_t Stopwatch::elapsed_ms() const { return (now_ns() - start_ns_) / 1'000'000; }

}  // namespace fastclock
