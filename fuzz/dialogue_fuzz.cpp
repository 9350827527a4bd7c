// A program's whole dialogue, with the fuzzer's bytes as its standard input. Each input is a
// fresh run of the program, in-process: a console session over calls of its own (input and
// output are pipes to it, so the key waits and pauses do not wait), in which the program's
// body, PROGRAM::run from PROGRAM_HEADER (both given by the build), runs once.
//
// The first byte of the input picks the console the answers are typed at (UTF-8 or CP949).
// Checked for every input: the run ends (a loop that runs on without input shows as a timeout,
// as reads that keep finding the end of input, or as output without end), with exit status 0
// or 1, and what is written is UTF-8 whose every character a CP949 console can show.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "console/session.hpp"
#include "fuzz/valid_text.hpp"
#include PROGRAM_HEADER

#define PROGRAM_NAME_OF(name) #name
#define PROGRAM_NAME_EXPANDED(name) PROGRAM_NAME_OF(name)
#define PROGRAM_NAME PROGRAM_NAME_EXPANDED(PROGRAM)

namespace {

// Standard input from the fuzzer's bytes. It counts how often the program finds the input at
// its end: a program that has met the end of input goes to its end, so a count that keeps
// growing is a loop that runs on without input.
class FuzzInput final : public console::SystemCalls {
public:
    static constexpr int most_ends = 64;

    explicit FuzzInput(std::string text) : text_(std::move(text)) {}

    long read(int, char* data, std::size_t size) override {
        const std::size_t count = std::min(size, text_.size() - given_);
        if (count == 0 && ++ends_ > most_ends) fuzzing::fail("reads on and on at the end of input", text_, text_.size());
        text_.copy(data, count, given_);
        given_ += count;
        return static_cast<long>(count);
    }
    // All of it is there at once: never a reason to wait.
    bool wait(int, bool, int) override { return true; }

private:
    std::string text_;
    std::size_t given_ = 0;
    int ends_ = 0;
};

// Standard output as a pipe whose reader goes away when a write would take it past `limit`
// bytes: that write and every later one fail as on a closed pipe, and the program must end. A
// write is taken whole or not at all, so what the reader took stays whole characters.
class CappedOutput final : public console::SystemCalls {
public:
    explicit CappedOutput(std::size_t limit) : limit_(limit) {}

    long write(int, const char* data, std::size_t size) override {
        if (cut_ || size > limit_ - text_.size()) {
            cut_ = true;
            errno = EPIPE;
            return -1;
        }
        text_.append(data, size);
        return static_cast<long>(size);
    }
    bool wait(int, bool, int) override { return true; }

    const std::string& text() const { return text_; }
    bool cut() const { return cut_; }

private:
    std::size_t limit_;
    std::string text_;
    bool cut_ = false;
};

#if OUTPUT_GROWS_WITH_VALUES
// The values typed decide the size of the output (a box 2147483647 cells wide is valid), so any
// amount is right; the reader stops early, which keeps each run short, and the program must
// then end as on a closed pipe.
constexpr bool cut_is_fault = false;
std::size_t output_limit(std::size_t) { return std::size_t{1} << 16; }
#else
// The output grows with the input: each answer draws at most a screen, and a listing shows at
// most what was typed. Far more than that is a loop writing on without reading.
constexpr bool cut_is_fault = true;
std::size_t output_limit(std::size_t input_size) { return (std::size_t{1} << 20) + 4096 * input_size + input_size * input_size; }
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto encoding = data[0] & 1 ? console::Encoding::cp949 : console::Encoding::utf8;
    ++data;
    --size;
    FuzzInput input(std::string(reinterpret_cast<const char*>(data), size));
    CappedOutput output(output_limit(size));
#if FRESH_DIGIT_ACCUMULATOR
    // Static storage, 0 when the program starts: each input stands for a new run of it.
    recursion::digit_accumulator = 0;
#endif
    int status = -1;
    {
        // The output is the program's own UTF-8, without the fillers a UTF-8 console would add.
        console::Session session(PROGRAM_NAME, {.input_calls = &input,
                                                .output_calls = &output,
                                                .typed = encoding,
                                                .written = console::Encoding::utf8,
                                                .box_columns = 2});
        status = session.run(PROGRAM::run);
    }

    const std::string& text = output.text();
    if (status != 0 && status != 1) fuzzing::fail("exit status other than 0 and 1", text, text.size());
    if (output.cut() && cut_is_fault) fuzzing::fail("output without end", text, text.size());
    if (output.cut() && status != 1) fuzzing::fail("a closed output did not end the run with 1", text, text.size());
    if (!fuzzing::valid_utf8(text)) fuzzing::fail("output that is not UTF-8", text, 0);
    if (const std::size_t shown = fuzzing::cp949_prefix(text); shown != text.size()) {
        fuzzing::fail("output that a CP949 console cannot show", text, shown);
    }
    // An unfinished run (end of input) ends its last line, so a shell prompt starts on its own.
    if (status == 1 && !output.cut() && !text.empty() && text.back() != '\n') {
        fuzzing::fail("a failed run did not end its line", text, text.size());
    }
    return 0;
}
