#pragma once
// The terminal under standard input on Linux and macOS, owned in one place: its mode, the bytes
// read from it and not yet taken, and the questions put to it. The key waits, the line editor
// and the box-drawing width all go through it.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "encoding.hpp"
#include "system_calls.hpp"

namespace console {

class ConsoleOutput;

// The length of the key at the start of `bytes`: an escape sequence (CSI, SS3, Alt with a key
// or a character), or a character in `encoding`, cut short before a byte that cannot belong to
// it; 0 while it needs more bytes.
std::size_t key_length(std::string_view bytes, Encoding encoding);

class Terminal {
public:
    // `fd` is standard input's terminal, read through `calls`; `typed` is what its keys come in.
    // `for_run`: once taken, the layer's mode stays until the end (answers are edited); else it
    // is given back after every key wait.
    Terminal(int fd, SystemCalls& calls, Encoding typed, bool for_run);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // The layer's mode while it lives (or for the run): keys one at a time, no echo.
    class Hold {
    public:
        explicit Hold(Terminal& terminal) : terminal_(terminal) { terminal_.enter(); }
        ~Hold() {
            if (!terminal_.for_run_) terminal_.leave();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Terminal& terminal_;
    };

    // One whole key into `key`: the bytes of an escape sequence or of a character (the rest may
    // come within 50 ms), taken from what was read ahead first, and nothing after it. A late
    // cursor-position report is no key. False at the end of input or on an error (errno).
    bool read_key(std::string& key);
    // Whether a byte can be had now, without waiting.
    bool ready();
    // Writes `box` between two cursor-position requests through `output` and tells the columns
    // it took: 1 or 2, 0 when the terminal does not say. What is typed meanwhile stays for later.
    int measure_box(ConsoleOutput& output, std::string_view box);
    Encoding typed() const { return typed_; }
    // The terminal's width, asked of the system each time (it may have been resized); 80 where
    // it cannot be told.
    int columns();

    // Called when the program resumes after Ctrl-Z while a read waits (the editor draws its
    // line again).
    std::function<void()> on_resume;

    // Read and not yet taken; cursor reports still to come. Seen by tests.
    const std::string& read_ahead() const { return read_ahead_; }
    int late_reports() const { return late_reports_; }

private:
    void enter();
    void leave();
    bool next_byte(std::string& key, int timeout_ms);

    int fd_;
    SystemCalls& calls_;
    Encoding typed_;
    bool for_run_;
    bool held_ = false;
    std::string read_ahead_;
    int late_reports_ = 0;
    std::size_t available_ = 0;  // bytes the terminal had when last asked, not read since
};

}  // namespace console
