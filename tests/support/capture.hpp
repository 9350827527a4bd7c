#pragma once
// Runs a dialogue in-process: standard input reads a given text and standard output is
// captured as the programs wrote it (UTF-8), through a console session of their own (never a
// terminal) whose input comes in the encoding the tests run under.

#include <sstream>
#include <string>
#include <string_view>

#include "console/session.hpp"
#include "console_text.hpp"
#include "scripted_calls.hpp"

namespace testing_support {

class ScopedConsole {
public:
    explicit ScopedConsole(std::string_view input = {}) : input_(std::string(input)), session_(input_.in, output_, console::Terminals{.encoding = console_encoding()}) {}
    ScopedConsole(const ScopedConsole&) = delete;
    ScopedConsole& operator=(const ScopedConsole&) = delete;

    std::string output() const { return output_.str(); }
    // What is left of the input, unread.
    std::string rest() { return input_.rest(); }

private:
    TextInput input_;
    std::stringbuf output_;
    console::Session session_;
};

}  // namespace testing_support
