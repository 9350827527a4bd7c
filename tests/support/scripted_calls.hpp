#pragma once
// Descriptor calls for the console layer's streams that follow a script instead of the
// system: input served from a text in pieces of a chosen size, output collected in memory,
// a console's cursor positions, and planned failures (an errno in place of the next read or write).

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <deque>
#include <string>
#include <utility>

#include "console/input.hpp"
#include "console/system_calls.hpp"

namespace testing_support {

class ScriptedCalls final : public console::SystemCalls {
public:
    static constexpr std::size_t whole = static_cast<std::size_t>(-1);

    explicit ScriptedCalls(std::string input = {}, std::size_t piece = whole) : input_(std::move(input)), piece_(piece) {}

    long read(int, char* data, std::size_t size) override {
        ++reads;
        if (fault(read_faults)) return -1;
        const std::size_t count = std::min({size, piece_, input_.size() - given_});
        if (count == 0) ++ends;
        input_.copy(data, count, given_);
        given_ += count;
        return static_cast<long>(count);
    }

    long write(int, const char* data, std::size_t size) override {
        ++writes;
        if (fault(write_faults)) return -1;
        const std::size_t count = std::min(size, most_per_write);
        written.append(data, count);
        return static_cast<long>(count);
    }

    bool wait(int, bool, int) override {
        ++waits;
        return !fault(wait_faults);
    }

    // The column of the cursor in row 0 at each call, as a console would tell; -1 fails the call.
    bool cursor(int, int& column, int& row) override {
        if (cursor_columns.empty() || cursor_columns.front() < 0) return false;
        column = cursor_columns.front();
        row = 0;
        cursor_columns.pop_front();
        return true;
    }

    std::size_t available(int) override { return input_.size() - given_; }

    // Bytes of the input handed out so far.
    std::size_t given() const { return given_; }

    // Each entry stands for one call: 0 lets it through, anything else fails it with that errno.
    std::deque<int> read_faults;
    std::deque<int> write_faults;
    std::deque<int> wait_faults;
    std::size_t most_per_write = whole;  // less makes every write a short one
    std::deque<int> cursor_columns;

    std::string written;
    int reads = 0;
    int ends = 0;  // reads that found the end of input
    int writes = 0;
    int waits = 0;

private:
    static bool fault(std::deque<int>& plan) {
        if (plan.empty()) return false;
        const int error = plan.front();
        plan.pop_front();
        if (error == 0) return false;
        errno = error;
        return true;
    }

    std::string input_;
    std::size_t piece_;
    std::size_t given_ = 0;
};

// What is left of `in`, unread.
inline std::string rest_of(console::ConsoleInput& in) {
    std::string left;
    for (std::string_view waiting; !(waiting = in.peek()).empty(); in.take(waiting.size())) left.append(waiting);
    return left;
}

// A console input that reads a fixed text, `piece` bytes at a time at most.
struct TextInput {
    static constexpr std::size_t whole() { return ScriptedCalls::whole; }

    explicit TextInput(std::string text, std::size_t piece = ScriptedCalls::whole) : calls(std::move(text), piece), in(0, calls) {}
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;

    std::string rest() { return rest_of(in); }

    ScriptedCalls calls;
    console::ConsoleInput in;
};

}  // namespace testing_support
