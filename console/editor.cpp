#include "editor.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iterator>
#include <utility>

#include "output.hpp"
#include "terminal.hpp"

namespace console {
namespace {

struct Range {
    std::uint32_t first;
    std::uint32_t last;
};

// East Asian Wide and Fullwidth: two columns (the emoji among them as terminals draw them).
constexpr Range wide[] = {
    {0x1100, 0x115F}, {0x231A, 0x231B}, {0x2329, 0x232A}, {0x23E9, 0x23EC}, {0x23F0, 0x23F0},
    {0x23F3, 0x23F3}, {0x25FD, 0x25FE}, {0x2614, 0x2615}, {0x2648, 0x2653}, {0x267F, 0x267F},
    {0x2693, 0x2693}, {0x26A1, 0x26A1}, {0x26AA, 0x26AB}, {0x26BD, 0x26BE}, {0x26C4, 0x26C5},
    {0x26CE, 0x26CE}, {0x26D4, 0x26D4}, {0x26EA, 0x26EA}, {0x26F2, 0x26F5}, {0x26FA, 0x26FD},
    {0x2705, 0x2705}, {0x270A, 0x270B}, {0x2728, 0x2728}, {0x274C, 0x274E}, {0x2753, 0x2757},
    {0x2795, 0x2797}, {0x27B0, 0x27BF}, {0x2B1B, 0x2B1C}, {0x2B50, 0x2B55}, {0x2E80, 0x303E},
    {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xA960, 0xA97F},
    {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE10, 0xFE19}, {0xFE30, 0xFE6F}, {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A},
    {0x1F200, 0x1F251}, {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393},
    {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
    {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567},
    {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5},
    {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC},
    {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};
// Combining marks and other characters that take no column of their own (looked up first):
// among them the vowels and finals of Hangul jamo, which join the consonant before them.
constexpr Range zero_width[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A}, {0x064B, 0x065F},
    {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x1160, 0x11FF}, {0x1AB0, 0x1AFF},
    {0x1DC0, 0x1DFF}, {0x200B, 0x200F}, {0x20D0, 0x20FF}, {0x302A, 0x302F}, {0x3099, 0x309A},
    {0xD7B0, 0xD7FF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF},
};

template <std::size_t N>
bool in(const Range (&ranges)[N], std::uint32_t c) {
    return std::any_of(std::begin(ranges), std::end(ranges), [c](const Range& r) { return c >= r.first && c <= r.last; });
}

// A UTF-8 character at the start of `bytes`: its length and code point, or length 0 when it is
// broken, overlong, a surrogate or beyond U+10FFFF.
std::size_t utf8_character(std::string_view bytes, std::uint32_t& code_point) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 || lead > 0xF4 ? 0 : utf8_length(lead);
    if (length == 0 || length > bytes.size()) return 0;
    code_point = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80) return 0;
        code_point = code_point << 6 | (next & 0x3Fu);
    }
    const bool shortest = length < 3 || code_point >= (length == 3 ? 0x800u : 0x10000u);
    return shortest && code_point <= 0x10FFFF && (code_point < 0xD800 || code_point > 0xDFFF) ? length : 0;
}

bool blank(char c) { return c == ' '; }

}  // namespace

TypedCharacter typed_character(std::string_view bytes, Encoding encoding, int box_columns) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) return {1, 1, lead >= 0x20 && lead != 0x7F, lead < 0x20 || lead == 0x7F};
    if (encoding == Encoding::cp949) {
        const bool pair = cp949_lead(lead) && bytes.size() > 1 && cp949_trail(static_cast<unsigned char>(bytes[1]));
        return pair ? TypedCharacter{2, 2, true} : TypedCharacter{1, 1, false};
    }
    std::uint32_t c = 0;
    const std::size_t length = utf8_character(bytes, c);
    if (length == 0) return {1, 1, false};
    if (c <= 0x9F) return {length, 1, false, true};  // C1 controls would act on the terminal
    if (c >= 0x2500 && c <= 0x257F) return {length, box_columns, true};
    return {length, in(zero_width, c) ? 0 : in(wide, c) ? 2 : 1, true};
}

namespace {

// What shows of the program's `utf8` text since its last line end (a prompt): from its last
// carriage return on, without escape sequences (a screen cleared before it, a cursor moved).
std::string prompt_of(std::string_view utf8) {
    std::string shown;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        if (utf8[at] == '\r') {
            shown.clear();
        } else if (utf8[at] == '\x1b' && at + 1 < utf8.size() && utf8[at + 1] == '[') {
            for (at += 2; at < utf8.size() && !(utf8[at] >= 0x40 && utf8[at] <= 0x7E);) ++at;
        } else {
            shown += utf8[at];
        }
    }
    return shown;
}

int text_columns(std::string_view utf8) {
    int columns = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        // Box-drawing characters take two columns here: with their filler, or drawn wide.
        const TypedCharacter character = typed_character(utf8.substr(at), Encoding::utf8, 2);
        columns = utf8[at] == '\t' ? columns / 8 * 8 + 8 : columns + character.columns;
        at += character.length;
    }
    return columns;
}

}  // namespace

LineEditor::LineEditor(Terminal& terminal, ConsoleOutput& output) : terminal_(terminal), output_(output) {
    output_.keeps_line = true;  // the prompt's width, from what the program wrote
}

TypedCharacter LineEditor::character_at(std::size_t at) const {
    return typed_character(std::string_view(line_).substr(at), terminal_.typed(), output_.box_columns());
}

std::size_t LineEditor::next(std::size_t at) const { return at < line_.size() ? at + character_at(at).length : at; }

// Where each character starts, and the line's end: found from the start, as CP949's trail
// bytes may look like lead bytes.
std::vector<std::size_t> LineEditor::starts() const {
    std::vector<std::size_t> at{0};
    while (at.back() < line_.size()) at.push_back(next(at.back()));
    return at;
}

std::size_t LineEditor::previous(std::size_t at) const {
    const std::vector<std::size_t> start = starts();
    const auto found = std::lower_bound(start.begin(), start.end(), at);
    return found == start.begin() ? 0 : *(found - 1);
}

std::size_t LineEditor::word_back(std::size_t at) const {
    const std::vector<std::size_t> start = starts();
    auto k = static_cast<std::size_t>(std::lower_bound(start.begin(), start.end(), at) - start.begin());
    while (k > 0 && blank(line_[start[k - 1]])) --k;
    while (k > 0 && !blank(line_[start[k - 1]])) --k;
    return start[k];
}

std::size_t LineEditor::word_forward(std::size_t at) const {
    while (at < line_.size() && !blank(line_[at])) at = next(at);
    while (at < line_.size() && blank(line_[at])) at = next(at);
    return at;
}

bool LineEditor::read_line(std::string& line) {
    const Terminal::Hold hold(terminal_);
    struct Resume {
        Terminal& terminal;
        ~Resume() { terminal.on_resume = nullptr; }
    } resume{terminal_};
    terminal_.on_resume = [this] {
        prompt_again_ = true;
        drawn_ = false;
        resize();
        flush();
    };
    line_.clear();
    cursor_ = first_ = 0;
    overwrite_ = false;
    recalled_ = history_.size();
    prompt_ = prompt_of(output_.line_so_far());
    if (width_ == 0) width_ = terminal_.columns();  // else as last seen: asked again before a wait
    measure();
    // A prompt that fills its row (the cursor waits at the margin) or leaves less than a wide
    // character's room: the line starts on the next row.
    if (!prompt_.empty() && (start_ == 0 || room_ < 2)) {
        output_.echo("\n");
        prompt_.clear();
        measure();
    }
    cursor_column_ = 0;
    drawn_ = true;
    end_whole_ = true;
    std::string key;
    for (;;) {
        if (!terminal_.ready()) {  // before waiting: the screen shows what was typed, as wide as it is now
            resize();
            flush();
        }
        if (!terminal_.read_key(key)) {
            const int error = errno;
            flush();
            if (error != 0) throw InputFailed(error);
            return false;
        }
        const Step step = apply(key);
        if (step == Step::end) {
            flush();
            return false;
        }
        if (step == Step::enter) {
            if (!line_.empty() && (history_.empty() || history_.back() != line_)) {
                if (history_.size() == history_most) history_.erase(history_.begin());
                history_.push_back(line_);
            }
            pending_ += '\n';  // the cursor to the start of the next row
            flush(false);       // goes out with what the program writes next
            line = std::move(line_);
            return true;
        }
    }
}

LineEditor::Step LineEditor::apply(std::string_view key) {
    if (key[0] == '\x1b') {
        escape(key);
        return Step::edit;
    }
    // A character, or bytes that make none: each its own, a control byte as its key.
    for (std::size_t at = 0; at < key.size();) {
        const auto byte = static_cast<unsigned char>(key[at]);
        if (byte < 0x20 || byte == 0x7F) {
            if (const Step step = control(byte); step != Step::edit) return step;
            ++at;
            continue;
        }
        const TypedCharacter character = typed_character(key.substr(at), terminal_.typed(), 1);
        if (!character.control) insert(key.substr(at, character.length));
        at += character.length;
    }
    return Step::edit;
}

LineEditor::Step LineEditor::control(unsigned char byte) {
    switch (byte) {
        case '\r':
        case '\n': return Step::enter;
        case 0x04:  // Ctrl-D
            if (line_.empty()) return Step::end;
            erase(cursor_, next(cursor_));
            break;
        case 0x7F:
        case 0x08: erase(previous(cursor_), cursor_); break;   // Backspace
        case 0x01: move_to(0); break;                           // Ctrl-A
        case 0x05: move_to(line_.size()); break;                // Ctrl-E
        case 0x02: move_to(previous(cursor_)); break;           // Ctrl-B
        case 0x06: move_to(next(cursor_)); break;               // Ctrl-F
        case 0x15: erase(0, cursor_); break;                    // Ctrl-U
        case 0x0B: erase(cursor_, line_.size()); break;         // Ctrl-K
        case 0x17: erase(word_back(cursor_), cursor_); break;   // Ctrl-W
        case '\t': insert(" "); break;
        default: break;  // shown nowhere, kept nowhere
    }
    return Step::edit;
}

void LineEditor::escape(std::string_view key) {
    if (key.size() == 1 || key == "\x1b\x1b") {  // Esc alone clears the line
        erase(0, line_.size());
        return;
    }
    if (key.size() == 2) {  // Alt with a key
        if (key[1] == 'b') move_to(word_back(cursor_));
        if (key[1] == 'f') move_to(word_forward(cursor_));
        return;
    }
    const char final = key.back();
    const std::string_view parameters = key.substr(2, key.size() - 3);
    const bool modified = parameters == "1;5" || parameters == "1;3";  // Ctrl or Alt
    if (key[1] == 'O' || parameters.empty() || modified) {
        switch (final) {
            case 'A': recall(recalled_ - 1); break;
            case 'B': recall(recalled_ + 1); break;
            case 'C': move_to(modified ? word_forward(cursor_) : next(cursor_)); break;
            case 'D': move_to(modified ? word_back(cursor_) : previous(cursor_)); break;
            case 'H': move_to(0); break;
            case 'F': move_to(line_.size()); break;
            default: break;
        }
        return;
    }
    if (key[1] != '[' || final != '~') return;
    if (parameters == "1" || parameters == "7") move_to(0);
    if (parameters == "4" || parameters == "8") move_to(line_.size());
    if (parameters == "3") erase(cursor_, next(cursor_));
    if (parameters == "2") overwrite_ = !overwrite_;
    if (parameters == "5" && !history_.empty()) recall(0);
    if (parameters == "6" && !history_.empty()) recall(history_.size() - 1);
}

void LineEditor::insert(std::string_view character) {
    const bool at_end = cursor_ == line_.size();
    if (overwrite_ && !at_end) {
        line_.replace(cursor_, next(cursor_) - cursor_, character);
    } else {
        line_.insert(cursor_, character);
    }
    cursor_ += character.size();
    // At the end of the line, where it fits: only the character is written. After bytes that
    // made no character, the new ones may make one with them: the line is drawn again.
    const TypedCharacter typed = typed_character(character, terminal_.typed(), output_.box_columns());
    if (drawn_ && at_end && end_whole_ && cursor_column_ + typed.columns < room_ && (typed.columns > 0 || cursor_column_ > 0)) {
        pending_ += typed.shown ? character : "?";
        cursor_column_ += typed.columns;
        end_whole_ = typed.shown;
        return;
    }
    drawn_ = false;
}

void LineEditor::erase(std::size_t from, std::size_t to) {
    if (from == to) return;
    line_.erase(from, to - from);
    cursor_ = from;
    drawn_ = false;
}

void LineEditor::move_to(std::size_t at) {
    if (at == cursor_) return;
    cursor_ = at;
    drawn_ = false;
}

void LineEditor::recall(std::size_t index) {
    // Up from the oldest, or down from the line being typed, goes nowhere (index wraps).
    if (index > history_.size() || index == recalled_) return;
    if (recalled_ == history_.size()) typed_line_ = line_;
    recalled_ = index;
    line_ = index == history_.size() ? typed_line_ : history_[index];
    cursor_ = line_.size();
    first_ = 0;
    drawn_ = false;
}

void LineEditor::measure() {
    start_ = text_columns(prompt_) % width_;
    room_ = std::max(0, width_ - 1 - start_);
}

void LineEditor::resize() {
    if (const int width = terminal_.columns(); width != width_) {
        width_ = width;
        drawn_ = false;
    }
}

void LineEditor::draw() {
    measure();
    const std::vector<std::size_t> start = starts();
    std::vector<int> column(start.size(), 0);  // before each character
    for (std::size_t k = 1; k < start.size(); ++k) column[k] = column[k - 1] + character_at(start[k - 1]).columns;
    const auto index = [&](std::size_t at) {
        return static_cast<std::size_t>(std::lower_bound(start.begin(), start.end(), at) - start.begin());
    };
    const std::size_t cursor = index(cursor_);
    const std::size_t end = start.size() - 1;
    std::size_t first = std::min(index(first_), cursor);
    // The cursor stays in view, at most at the last column but one; where the rest of the line
    // fits, as much of its start as fits shows too.
    while (first < cursor && column[cursor] - column[first] >= room_) ++first;
    while (first > 0 && column[end] - column[first - 1] < room_) --first;
    first_ = start[first];
    cursor_column_ = column[cursor] - column[first];
    end_whole_ = end == 0 || character_at(start[end - 1]).shown;
    pending_ += '\r';
    if (std::exchange(prompt_again_, false)) {
        pending_ += output_.console_form(prompt_);
    } else if (start_ > 0) {
        pending_ += "\x1b[" + std::to_string(start_) + 'C';
    }
    int shown = 0;
    for (std::size_t k = first; k < end && column[k + 1] - column[first] <= room_; ++k) {
        const TypedCharacter character = character_at(start[k]);
        if (shown == 0 && character.columns == 0) continue;  // a mark with nothing of the line to join
        pending_ += character.shown ? std::string_view(line_).substr(start[k], character.length) : "?";
        shown += character.columns;
    }
    pending_ += "\x1b[K";
    if (shown > cursor_column_) pending_ += "\x1b[" + std::to_string(shown - cursor_column_) + 'D';
    drawn_ = true;
}

void LineEditor::flush(bool now) {
    if (!drawn_) {
        // The keys' own echo is drawn over: the whole line goes in its place.
        const bool line_end = !pending_.empty() && pending_.back() == '\n';
        pending_.clear();
        draw();
        if (line_end) pending_ += '\n';
    }
    if (pending_.empty()) return;
    output_.echo(pending_, now);
    pending_.clear();
}

}  // namespace console
