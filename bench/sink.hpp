#pragma once
// Places for benchmarked output to go without a console behind them: descriptor calls whose
// writes go nowhere, under a console session of the benchmark's own.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>

#include "console/session.hpp"
#include "console/system_calls.hpp"

namespace bench {

// Takes every byte written and keeps none. It counts them, so the work of producing them stays.
class NullSink final : public console::SystemCalls {
public:
    long write(int, const char*, std::size_t size) override {
        bytes_ += size;
        return static_cast<long>(size);
    }
    std::size_t bytes() const { return bytes_; }

private:
    std::size_t bytes_ = 0;
};

// Writes into /dev/null, whatever descriptor it is asked to write to: a real write call each
// time, whose bytes the system discards.
class DevNull final : public console::SystemCalls {
public:
    DevNull() : fd_(::open("/dev/null", O_WRONLY)) {
        if (fd_ < 0) throw std::runtime_error("cannot open /dev/null");
    }
    ~DevNull() override { ::close(fd_); }
    DevNull(const DevNull&) = delete;
    DevNull& operator=(const DevNull&) = delete;

    long write(int, const char* data, std::size_t size) override { return ::write(fd_, data, size); }

private:
    int fd_;
};

// A console session for benchmarked code: standard output is written through `out` (UTF-8;
// `box_columns` as in console::Console: 2 leaves the text as the program wrote it, 1 adds a
// filler after each box-drawing character), and standard input reads the answers given in
// advance. Neither stream is a terminal.
class Console {
public:
    explicit Console(console::SystemCalls& out, int box_columns = 2)
        : session_("bench", {.input_calls = &answers_, .output_calls = &out, .box_columns = box_columns}) {}
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    // What is still held goes out before the session ends.
    ~Console() { session_.run([] { std::cout.flush(); }); }

    // The next reads take `text`, then find the end of input.
    void answer(std::string text) {
        answers_.text = std::move(text);
        answers_.at = 0;
    }

private:
    struct Answers final : console::SystemCalls {
        long read(int, char* data, std::size_t size) override {
            const std::size_t count = text.copy(data, size, at);
            at += count;
            return static_cast<long>(count);
        }
        std::string text;
        std::size_t at = 0;
    };

    Answers answers_;
    console::Session session_;
};

}  // namespace bench
