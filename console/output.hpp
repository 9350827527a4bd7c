#pragma once
// Standard output of every program: a buffered stream on a file descriptor that holds the
// programs' UTF-8 text and puts it into the console's encoding as it leaves.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>

#include "encoding.hpp"
#include "system_calls.hpp"

namespace console {

// Thrown, once, when standard output cannot be written (a full device, a closed pipe).
struct OutputFailed : std::runtime_error {
    explicit OutputFailed(int error_number) : std::runtime_error("standard output cannot be written"), error(error_number) {}
    int error;  // the errno of the failed write
};

// A stream buffer writing to a file descriptor. It holds what it is given and writes it in
// large blocks, and at every flush (sync): whoever knows that someone may be waiting for the
// text (a read of standard input, a key wait, a clock frame, the end of the program) flushes.
// A failed write throws OutputFailed; after that the buffer drops whatever it is given, so it
// fails only once.
//
// The text goes out in the console's encoding. A code-page-949 console draws box-drawing
// characters two columns wide; where a UTF-8 console draws them one column wide, each is
// followed by a filler that keeps it two: "─" after a character whose stroke runs on to the
// right, a blank after any other. In CP949 a broken character, or one CP949 lacks, becomes "?".
class ConsoleOutput final : public std::streambuf {
public:
    // `box_columns`: the columns the console gives a box-drawing character, 1 (a filler
    // follows each) or 2 (none); 0 asks `measure_box` at the first one.
    ConsoleOutput(int fd, SystemCalls& calls, Encoding encoding, int box_columns = 1);

    // Draws the box-drawing character it is given and tells its columns (0: cannot tell). Asked
    // once, if set.
    std::function<int(std::string_view box)> measure_box;
    // Keep what the program wrote since its last line end (line_so_far): a line editor reads it.
    bool keeps_line = false;
    bool failed() const { return failed_; }
    // The columns a box-drawing character takes on the screen, without its filler.
    int box_columns() const { return fill_boxes_ ? 1 : 2; }

    // Bytes already in the console's encoding (a terminal's question, a typed line's echo),
    // written at once and whole, or OutputFailed.
    void write_all(std::string_view bytes) { write_out(bytes); }
    // The same for the echo of typed text: a line end in it starts a new line on the screen.
    // Not `now`: it goes out at the front of the next write (a line entered, and the answer to
    // it come together).
    void echo(std::string_view bytes, bool now = true);
    // What the program wrote since its last line end (a prompt), as it wrote it, and the bytes
    // that show it on the console.
    std::string_view line_so_far() const { return line_; }
    std::string console_form(std::string_view utf8) { return std::string(encoded(utf8)); }

    // Half of a pipe's usual 64 KiB: its reader takes one block while the next is made, and the
    // text and its encoded copy stay in the processor's cache.
    static constexpr std::size_t held_most = 1 << 15;

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    // The console's form of `utf8`: `utf8` itself when nothing changes, or a view of out_.
    std::string_view encoded(std::string_view utf8);
    std::string_view with_fillers(std::string_view utf8);
    std::string_view as_cp949(std::string_view utf8);
    std::uint16_t cp949_form(std::uint32_t code_point, std::string_view utf8);
    void write_out(std::string_view bytes);  // all of it, or throws
    void keep_line(std::string_view text);

    int fd_;
    SystemCalls& calls_;
    Encoding encoding_;
    bool fill_boxes_;
    std::unique_ptr<char[]> buffer_;
    std::string out_;
    std::string line_;  // since the last line end, at most line_most bytes of it
    std::string echoed_;  // echo held for the next write
    static constexpr std::size_t line_most = 1024;
    bool failed_ = false;
    // CP949 forms by code point, learnt from the system's converter as characters are first met
    // (0: not yet asked, no_form: CP949 lacks it), in rows of 256 made as needed.
    static constexpr std::uint16_t no_form = 0xFFFF;
    std::array<std::unique_ptr<std::array<std::uint16_t, 256>>, 256> rows_;
};

}  // namespace console
