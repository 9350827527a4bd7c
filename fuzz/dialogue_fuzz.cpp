// A program's whole dialogue, with the fuzzer's bytes as its standard input. Each input is a
// fresh run of the program, in-process: std::cin and std::cout get stream buffers of their own
// (so the key waits and pauses do not wait, as on a pipe), and the program's main runs once.
//
// Checked for every input: the run ends (a loop that runs on without input shows as a timeout
// or as output without end), with exit status 0 or 1, and every byte written is CP949, the
// encoding of the program's own texts, which is what the UTF-8 build then converts.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "console/output.hpp"
#include "fuzz/fresh_start.hpp"
#include "fuzz/valid_text.hpp"

int program_main();  // the program's main, renamed by the build

namespace {

// Standard output as a pipe whose reader goes away after `limit` bytes: a program that writes
// more is ended as on a closed pipe. A large box is a valid answer, and this keeps its run short.
class CappedOutput final : public std::streambuf {
public:
    static constexpr std::size_t limit = std::size_t{1} << 16;

    const std::string& text() const { return text_; }
    bool cut() const { return cut_; }

protected:
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        const auto count = static_cast<std::size_t>(size);
        if (cut_ || text_.size() + count > limit) {
            cut_ = true;
            throw console::OutputFailed();
        }
        text_.append(data, count);
        return size;
    }

    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        const char c = traits_type::to_char_type(ch);
        xsputn(&c, 1);
        return ch;
    }

private:
    std::string text_;
    bool cut_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::stringbuf input(std::string(reinterpret_cast<const char*>(data), size));
    CappedOutput output;
    std::streambuf* const old_in = std::cin.rdbuf(&input);
    std::streambuf* const old_out = std::cout.rdbuf(&output);
    std::cin.clear();
    std::cout.clear();
    std::cout.exceptions(std::ios::badbit);  // as the console layer sets it for every program

    fresh_start();
    const int status = program_main();

    std::cin.rdbuf(old_in);
    std::cout.rdbuf(old_out);
    std::cout.clear();

    const std::string& text = output.text();
    if (status != 0 && status != 1) fuzzing::fail("exit status other than 0 and 1", text, text.size());
    if (output.cut() && status != 1) fuzzing::fail("a closed output did not end the run with 1", text, text.size());
    if (const std::size_t valid = fuzzing::valid_cp949_prefix(text); valid != text.size()) {
        fuzzing::fail("output that is not CP949", text, valid);
    }
    // An unfinished run (end of input) ends its last line, so a shell prompt starts on its own.
    if (status == 1 && !output.cut() && !text.empty() && text.back() != '\n') {
        fuzzing::fail("a failed run did not end its line", text, text.size());
    }
    return 0;
}
