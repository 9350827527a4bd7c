// The terminal: the line editor (keys typed after a prompt, what they leave as the answer and
// on the screen, under the console the tests run under), late reports, the mode's signals, and
// when standard input and output are one terminal.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "console/editor.hpp"
#include "console/output.hpp"
#include "console/session.hpp"
#include "console/terminal.hpp"
#include "support/console_text.hpp"
#include "support/keyboard.hpp"

namespace {

using testing_support::typed;

bool cp949() { return testing_support::console_encoding() == console::Encoding::cp949; }

// Columns as a terminal gives them, known here apart from the editor's own rules: Hangul
// syllables and leading jamo are wide, vowel and final jamo join the syllable before them.
int terminal_columns(std::string_view bytes, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    length = 1;
    if (lead < 0x80) return lead >= 0x20 && lead != 0x7F ? 1 : -1;
    if (cp949()) {
        length = 2;
        return bytes.size() >= 2 ? 2 : -1;
    }
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
    if (length == 1 || length > bytes.size()) return -1;
    std::uint32_t c = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(bytes[k]) & 0x3Fu);
    if ((c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x1100 && c <= 0x115F)) return 2;
    return c >= 0x1160 && c <= 0x11FF ? 0 : 1;
}

struct Edited {
    std::vector<std::optional<std::string>> answers;  // nothing: the end of input
    std::string row;                                  // the last row, as the terminal shows it
    int cursor;
    std::vector<std::string> writes;  // after the last prompt
    int faults;
};

// Writes `prompt` and edits an answer after it, `count` times, with the keys in `bursts`.
// `resized`: the terminal's new width from that burst on (none at 0).
Edited edit(const std::vector<std::string>& bursts, int count = 1, int width = 40, std::pair<std::size_t, int> resized = {},
            std::string_view prompt = "이름 : ") {
    const console::Encoding encoding = testing_support::console_encoding();
    testing_support::Keyboard keyboard(bursts, width);
    keyboard.resize_after(resized.first, resized.second);
    console::Terminal terminal(-1, keyboard, encoding, true);
    console::ConsoleOutput output(1, keyboard, encoding);
    console::LineEditor editor(terminal, output);
    std::ostream out(&output);
    Edited edited{};
    for (int k = 0; k < count; ++k) {
        out << prompt << std::flush;
        keyboard.writes.clear();
        std::string line;
        edited.answers.push_back(editor.read_line(line) ? std::optional(line) : std::nullopt);
    }
    out << std::flush;  // as the program does before it waits or ends
    testing_support::ScreenRow row(width, terminal_columns);
    row.show(keyboard.written);
    edited.row = row.text();
    edited.cursor = row.cursor();
    edited.writes = keyboard.writes;
    edited.faults = row.faults;
    return edited;
}

std::vector<std::string> keys(std::initializer_list<std::string_view> texts) {
    std::vector<std::string> bursts;
    for (const std::string_view text : texts) bursts.push_back(typed(text));
    return bursts;
}

const std::string left = "\x1b[D", right = "\x1b[C", up = "\x1b[A", down = "\x1b[B";

// Keys and what they leave: the answer, and the row with the cursor's column.
TEST(LineEditor, KeysLeaveTheAnswerAndTheRow) {
    struct Case {
        const char* what;
        std::vector<std::string> bursts;
        std::string answer;
        std::string row;
        int cursor = -1;  // -1: not looked at
    };
    const Case cases[] = {
        {"backspace takes a whole syllable", keys({"홍길동", "\x7f", "순", "\n"}), "홍길순", "이름 : 홍길순"},
        {"Ctrl-H as backspace", keys({"ab", "\x08", "\n"}), "a", "이름 : a"},
        {"left over digits", keys({"18", left, left, "2", "\n"}), "218", "이름 : 218"},
        {"left over a syllable is two columns", keys({"가나", left}), "", "이름 : 가나", 9},
        {"right, Ctrl-B, Ctrl-F", keys({"abc", "\x02", "\x02", right, "\x06", "X\n"}), "abcX", "이름 : abcX"},
        {"every form of Home", keys({"4", "\x1b[H", "3", "\x1bOH", "2", "\x1b[1~", "1", "\x1b[7~", "0", "\x01", "-\n"}),
         "-01234", "이름 : -01234"},
        {"every form of End", keys({"0", "\x01", "\x1b[F", "1", "\x01", "\x1bOF", "2", "\x01", "\x1b[4~", "3", "\x01",
                                    "\x1b[8~", "4", "\x01", "\x05", "5\n"}),
         "012345", "이름 : 012345"},
        {"delete, and Ctrl-D within a line", keys({"abcd", "\x01", "\x1b[3~", "\x04", "\n"}), "cd", "이름 : cd"},
        {"words: Ctrl-arrows and Alt-b, Alt-f",
         keys({"one two three", "\x1b[1;5D", "\x1b[1;5D", "X", "\x1b" "b", "\x1b" "b", "Y", "\x1b[1;5C", "\x1b" "f", "Z\n"}),
         "Yone Xtwo Zthree", "이름 : Yone Xtwo Zthree"},
        {"Esc alone clears the line", keys({"이름이", "\x1b", "김\n"}), "김", "이름 : 김"},
        {"Ctrl-U, Ctrl-K", keys({"abcdef", left, left, "\x0b", left, "\x15", "\n"}), "d", "이름 : d"},
        {"Ctrl-W takes the word before", keys({"홍 길동  ", "\x17", "순\n"}), "홍 순", "이름 : 홍 순"},
        {"tab is a blank", keys({"a\tb\n"}), "a b", "이름 : a b"},
        {"insert toggles overwriting", keys({"가나다", "\x01", "\x1b[2~", "라", "\x1b[2~", "마\n"}), "라마나다",
         "이름 : 라마나다"},
        {"other keys and controls do nothing", keys({"a", "\x14", "\x1b[15~", "\x1bOP", "\x1b[1;2A", "\x1bx", std::string_view("\0", 1), "b\n"}),
         "ab", "이름 : ab"},
        {"a cursor report is no key", keys({"1", "\x1b[12;40R", "2\n"}), "12", "이름 : 12"},
        {"Esc and Enter at once", keys({"abc", "\x1b\n"}), "", "이름 :"},
        {"Alt with a syllable is no key", keys({"kim", "\x1b가", "\n"}), "kim", "이름 : kim"},
    };
    for (const Case& c : cases) {
        const Edited edited = edit(c.bursts);
        ASSERT_EQ(edited.answers.size(), 1u);
        const bool entered = c.bursts.back().ends_with("\n");
        EXPECT_EQ(edited.answers[0], entered ? std::optional(typed(c.answer)) : std::nullopt) << c.what;
        EXPECT_EQ(edited.row, entered ? "" : typed(c.row)) << c.what;
        EXPECT_EQ(edited.faults, 0) << c.what;
        if (c.cursor >= 0) {
            EXPECT_EQ(edited.cursor, c.cursor) << c.what;
        }
        // The row before Enter: the same keys but the last, drawn again at the cursor's row.
        if (entered) {
            std::vector<std::string> before(c.bursts);
            before.back().pop_back();
            EXPECT_EQ(edit(before).row, typed(c.row)) << c.what;
        }
    }
}

// Longer than the room after the prompt (20 columns, 7 of them the prompt's, the last kept
// free): the line scrolls so that the cursor stays in view, and never draws a character cut.
TEST(LineEditor, ScrollsSidewaysInsteadOfWrapping) {
    struct Case {
        const char* what;
        std::vector<std::string> bursts;
        int width;
        std::string row;
        int faults = 0;
    };
    const Case cases[] = {
        {"the end in view", keys({"가나다라마바사"}), 20, "이름 : 다라마바사"},
        {"typed a key at a time", keys({"가", "나", "다", "라", "마", "바", "사"}), 20, "이름 : 다라마바사"},
        {"home shows the start", keys({"가나다라마바사", "\x01"}), 20, "이름 : 가나다라마바"},
        {"a narrower terminal", keys({"abcdefghij"}), 12, "이름 : hij"},
        {"room for no syllable", keys({"가나"}), 10, "이름 :"},
        {"shrinking brings the start back", keys({"가나다라마바사", "\x7f", "\x7f"}), 20, "이름 : 가나다라마"},
        {"a prompt that fills its row", keys({"가"}), 7, "가", 1},  // the prompt's own blank at the margin
        {"a prompt that leaves no room", keys({"가"}), 9, "가"},
    };
    for (const Case& c : cases) {
        const Edited edited = edit(c.bursts, 1, c.width);
        EXPECT_EQ(edited.row, typed(c.row)) << c.what;
        EXPECT_EQ(edited.faults, c.faults) << c.what;
        EXPECT_LE(edited.cursor, c.width - 2) << c.what;
    }
}

// Several answers: what follows an Enter answers the next prompt, each shown at its prompt;
// earlier lines come back, and the line being typed is kept while they are looked at.
TEST(LineEditor, LinesInTurnAndEarlierLines) {
    struct Case {
        const char* what;
        std::vector<std::string> bursts;
        std::vector<std::optional<std::string>> answers;
        std::string row;
    };
    const Case cases[] = {
        {"a paste answers prompts in turn", keys({"5 4\n3\n"}), {"5 4", "3"}, ""},
        {"up brings back the last", keys({"가\n", "나\n", up, up, "\n"}), {"가", "나", "가"}, ""},
        {"down returns to the line typed", keys({"가\n", "다", up, down, "라"}), {"가", std::nullopt}, "이름 : 다라"},
        {"the oldest and newest", keys({"1\n", "2\n", "3\n", "\x1b[5~", "\n", "\x1b[6~", "\n"}), {"1", "2", "3", "1", "1"}, ""},
        {"a line equal to the newest is kept once", keys({"1\n", "2\n", "2\n", up, up, "\n"}), {"1", "2", "2", "1"}, ""},
        {"no history: the keys do nothing", keys({up, "\x1b[5~", down, "x\n"}), {"x"}, ""},
        {"Ctrl-D on an empty line ends the input", keys({"1\n", "\x04"}), {"1", std::nullopt}, "이름 :"},
        {"an empty line is an answer", keys({"\n", "\r"}), {"", ""}, ""},
        {"a sequence cut short by Enter", keys({"ab", "\x1b[\ncd\n"}), {"ab", "cd"}, ""},
    };
    for (const Case& c : cases) {
        const Edited edited = edit(c.bursts, static_cast<int>(c.answers.size()));
        std::vector<std::optional<std::string>> expected;
        for (const auto& answer : c.answers) expected.push_back(answer ? std::optional(typed(*answer)) : std::nullopt);
        EXPECT_EQ(edited.answers, expected) << c.what;
        EXPECT_EQ(edited.row, typed(c.row)) << c.what;
    }
}

// What goes to the screen: a key at the end of the line writes only its character; keys that
// come together are drawn together; bytes that make no character stay in the answer and show
// as "?".
TEST(LineEditor, WritesOnlyWhatChanged) {
    const Edited one_by_one = edit(keys({"가", "b", "c"}));
    EXPECT_EQ(one_by_one.writes, (std::vector<std::string>{typed("가"), "b", "c"}));
    const Edited pasted = edit(keys({"가bc", left}));
    EXPECT_EQ(pasted.writes, (std::vector<std::string>{typed("가bc"), "\r\x1b[7C" + typed("가bc") + "\x1b[K\x1b[1D"}));
    const Edited broken = edit({"\xFF" "a\x80\n"});
    EXPECT_EQ(broken.answers[0], "\xFF" "a\x80");
    // A prompt after a cleared screen: the escape sequences take no column.
    const Edited cleared = edit(keys({"ab", left}), 1, 40, {}, "\x1b[H\x1b[2J\x1b[3J이름 입력 : ");
    EXPECT_EQ(cleared.writes.back(), "\r\x1b[12C" + typed("ab") + "\x1b[K\x1b[1D");
    // A byte that makes no character, then an arrow: the arrow moves, nothing of it is inserted.
    const std::string lead = cp949() ? "\xB0" : "\xE3";
    EXPECT_EQ(edit({"a" + lead + left + "b\n"}).answers[0], "ab" + lead);
    if (!cp949()) {
        EXPECT_EQ(edit({"a\xC2\x85" "b\n"}).answers[0], "ab") << "a C1 control is no character to insert";
    }
    // A key after the terminal was made narrower draws the line again in the room left.
    const Edited resized = edit(keys({"가나다라마바사아", "\x05"}), 1, 40, {1, 20});
    EXPECT_EQ(resized.writes.back(), "\r\x1b[7C" + typed("라마바사아") + "\x1b[K");
    // After a byte that makes no character the next may make one with it: drawn again.
    EXPECT_EQ(broken.writes, (std::vector<std::string>{"\r\x1b[7C?a?\x1b[K\n"}));
}

// Reports that come after the question was given up on are no key, however they come, and
// no end of input either: the wait goes on to the key typed after them.
TEST(Terminal, LateReportsAreNoKey) {
    const console::Encoding encoding = testing_support::console_encoding();
    const std::string reports = "\x1b[3;5R\x1b[3;6R";
    const std::string lead = cp949() ? "\xB0" : "\xEA";  // a character's first byte, and no more
    struct Case {
        std::vector<std::string> bursts;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {{"", "\x1b[3;5R", "\x1b[3;6R", "x"}, {"x"}},
        {{"", reports + "x"}, {"x"}},
        {{"", "\x1b" + reports + "x"}, {"\x1b", "x"}},
        {{"", lead + reports + "x"}, {lead, "x"}},
    };
    for (const Case& c : cases) {
        testing_support::Keyboard keyboard(c.bursts, 80);
        console::ConsoleOutput output(1, keyboard, encoding);
        console::Terminal terminal(-1, keyboard, encoding, true);
        EXPECT_EQ(terminal.measure_box(output, "┌"), 0);
        EXPECT_EQ(terminal.late_reports(), 2);
        std::vector<std::string> keys;
        for (std::string key; terminal.read_key(key);) keys.push_back(key);
        EXPECT_EQ(keys, c.keys) << testing::PrintToString(c.bursts);
        EXPECT_EQ(terminal.late_reports(), 0);
    }
}

// The character rules a terminal draws by: wide, zero-width (a Hangul vowel joins its
// consonant), box drawing as measured, and controls (C1 included) that are never shown.
TEST(TypedCharacter, ColumnsAsTheTerminalDrawsThem) {
    struct Case {
        std::string_view bytes;
        int columns;
        bool shown;
        bool control;
    };
    const Case cases[] = {
        {"a", 1, true, false},        {"\x7f", 1, false, true},     {"가", 2, true, false},
        {"\xE1\x85\xA1", 0, true, false},  // U+1161, a vowel jamo
        {"〮", 0, true, false},        // U+302E, a tone mark within a wide block
        {"🚀", 2, true, false},       {"─", 1, true, false},        {"\xC2\x85", 1, false, true},
        {"\xED\xA0\x80", 1, false, false},  // a surrogate is no character
    };
    for (const Case& c : cases) {
        const console::TypedCharacter t = console::typed_character(c.bytes, console::Encoding::utf8, 1);
        EXPECT_EQ(t.columns, c.columns) << c.bytes;
        EXPECT_EQ(t.shown, c.shown) << c.bytes;
        EXPECT_EQ(t.control, c.control) << c.bytes;
    }
}

// A pseudo-terminal's two ends, closed at the end.
struct Pty {
    Pty() {
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) std::abort();
    }
    ~Pty() {
        close(master);
        close(slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    int master = -1;
    int slave = -1;
};

// The mode's signal handlers: a signal the program was started to ignore (nohup) stays
// ignored; the others are handled while the mode is held and given back after.
TEST(Terminal, SignalsIgnoredAtTheStartStayIgnored) {
    const Pty pty;
    const auto old_hangup = std::signal(SIGHUP, SIG_IGN);
    const auto handler = [](int signal_number) {
        struct sigaction action{};
        sigaction(signal_number, nullptr, &action);
        return action.sa_handler;
    };
    {
        console::Terminal terminal(pty.slave, console::SystemCalls::standard(), console::Encoding::utf8, true);
        const console::Terminal::Hold hold(terminal);
        EXPECT_EQ(handler(SIGHUP), SIG_IGN);
        EXPECT_NE(handler(SIGTERM), SIG_DFL);
    }
    EXPECT_EQ(handler(SIGHUP), SIG_IGN);
    EXPECT_EQ(handler(SIGTERM), SIG_DFL);
    std::signal(SIGHUP, old_hangup);
}

// Standard input and output are one terminal only when they are the same device: two
// pseudo-terminals share their file system and differ in their device numbers.
TEST(StandardConsole, OneTerminalOnlyWhereInputAndOutputAreTheSame) {
    const Pty first;
    const Pty second;
    struct Case {
        int in;
        int out;
        bool one;
    };
    const Case cases[] = {{first.slave, first.slave, true}, {first.slave, second.slave, false}};
    std::cout.flush();
    const int saved_in = dup(0);
    const int saved_out = dup(1);
    const char* term = std::getenv("TERM");
    const std::string saved_term = term ? term : "";
    setenv("TERM", "xterm", 1);
    for (const Case& c : cases) {
        dup2(c.in, 0);
        dup2(c.out, 1);
        const console::Console found = console::standard_console();
        dup2(saved_in, 0);
        dup2(saved_out, 1);
        EXPECT_TRUE(found.input_terminal && found.output_terminal);
        EXPECT_EQ(found.edits, c.one);
        EXPECT_EQ(found.box_columns == 0, c.one && found.written == console::Encoding::utf8);
    }
    close(saved_in);
    close(saved_out);
    if (term) {
        setenv("TERM", saved_term.c_str(), 1);
    } else {
        unsetenv("TERM");
    }
}

}  // namespace
