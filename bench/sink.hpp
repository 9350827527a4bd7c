#pragma once
// Places for benchmarked output to go without a console behind them.

#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <stdexcept>
#include <streambuf>

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

// Points std::cout and std::cin at other buffers for the life of the object; a null pointer
// leaves that stream as it is.
class Redirect {
public:
    explicit Redirect(std::streambuf* out, std::streambuf* in = nullptr)
        : old_out_(out != nullptr ? std::cout.rdbuf(out) : nullptr),
          old_in_(in != nullptr ? std::cin.rdbuf(in) : nullptr) {}
    ~Redirect() {
        if (old_out_ != nullptr) std::cout.rdbuf(old_out_);
        if (old_in_ != nullptr) std::cin.rdbuf(old_in_);
    }
    Redirect(const Redirect&) = delete;
    Redirect& operator=(const Redirect&) = delete;

private:
    std::streambuf* old_out_;
    std::streambuf* old_in_;
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
