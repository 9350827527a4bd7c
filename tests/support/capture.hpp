#pragma once
// Runs a dialogue in-process: std::cin reads a given text and std::cout is captured.

#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace testing_support {

class ScopedConsole {
public:
    explicit ScopedConsole(std::string_view input = {})
        : input_(std::string(input)), old_in_(std::cin.rdbuf(&input_)), old_out_(std::cout.rdbuf(&output_)) {}
    ~ScopedConsole() {
        std::cin.rdbuf(old_in_);
        std::cout.rdbuf(old_out_);
    }
    ScopedConsole(const ScopedConsole&) = delete;
    ScopedConsole& operator=(const ScopedConsole&) = delete;

    std::string output() const { return output_.str(); }
    // What is left of the input, unread.
    std::string rest() { return std::string(std::istreambuf_iterator<char>(&input_), {}); }

private:
    std::stringbuf input_;
    std::stringbuf output_;
    std::streambuf* old_in_;
    std::streambuf* old_out_;
};

}  // namespace testing_support
