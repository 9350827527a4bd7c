#pragma once
// Places for benchmarked output to go without a console behind them.

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <streambuf>
#include <string>
#include <utility>

#include "console/input.hpp"
#include "console/session.hpp"

namespace bench {

// Takes every byte and keeps none. It counts them, so the work of producing them stays.
class NullSink final : public std::streambuf {
public:
    std::streamsize bytes() const { return bytes_; }

protected:
    int_type overflow(int_type ch) override {
        ++bytes_;
        return traits_type::not_eof(ch);
    }
    std::streamsize xsputn(const char*, std::streamsize count) override {
        bytes_ += count;
        return count;
    }

private:
    std::streamsize bytes_ = 0;
};

// A console session for benchmarked code: standard output goes to `out`, and standard input
// reads the answers given in advance.
class Console {
public:
    explicit Console(std::streambuf& out) : input_(0, answers_), session_(input_, out) {}
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

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
    console::ConsoleInput input_;
    console::Session session_;
};

// A file descriptor that discards what is written to it (/dev/null), closed at the end.
class DiscardingFd {
public:
    DiscardingFd() : fd_(::open("/dev/null", O_WRONLY)) {
        if (fd_ < 0) throw std::runtime_error("cannot open /dev/null");
    }
    ~DiscardingFd() { ::close(fd_); }
    DiscardingFd(const DiscardingFd&) = delete;
    DiscardingFd& operator=(const DiscardingFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace bench
