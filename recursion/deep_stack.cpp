// sum_to nests one call per term, 65535 at most. Frames differ widely between builds (an
// unoptimised or AddressSanitizer build has much larger ones), and a thread's default stack
// may be small, so the sum runs on a thread whose stack size is set here. On Windows the
// program's stack size is set when it is linked, and the sum runs on the calling thread.
#include "recursion.hpp"

#include <cstddef>

#ifndef _WIN32
#include <pthread.h>
#endif

namespace recursion {

#ifndef _WIN32
namespace {

// Room for 65535 frames of up to 1 KiB each; only the pages touched are ever backed by memory.
constexpr std::size_t deep_stack_size = std::size_t{64} << 20;

struct SumJob {
    std::int32_t n;
    std::int32_t result;
};

void* run_sum_job(void* context) {
    auto* job = static_cast<SumJob*>(context);
    job->result = sum_to(job->n);
    return nullptr;
}

bool run_on_deep_stack(SumJob& job) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    bool done = false;
    pthread_t thread;
    if (pthread_attr_setstacksize(&attributes, deep_stack_size) == 0 &&
        pthread_create(&thread, &attributes, run_sum_job, &job) == 0) {
        pthread_join(thread, nullptr);
        done = true;
    }
    pthread_attr_destroy(&attributes);
    return done;
}

}  // namespace

std::int32_t sum_to_on_deep_stack(std::int32_t n) {
    SumJob job{n, 0};
    // Without a thread (out of resources) the main thread's stack, usually 8 MiB, is the
    // best there is.
    if (!run_on_deep_stack(job)) job.result = sum_to(n);
    return job.result;
}

#else

std::int32_t sum_to_on_deep_stack(std::int32_t n) { return sum_to(n); }

#endif

}  // namespace recursion
