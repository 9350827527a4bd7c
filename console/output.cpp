#include "output.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace console {
namespace {

// Where the last whole character of UTF-8 `text` ends: a full buffer may cut one short.
std::size_t whole_characters(std::string_view text) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
        const auto b = static_cast<unsigned char>(text[text.size() - back]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        return utf8_length(b) > back ? text.size() - back : text.size();
    }
    return text.size();
}

// Whether a box-drawing character (U+2500..U+257F: E2 94 80 .. E2 95 BF) starts at `at`.
bool box_at(std::string_view utf8, std::size_t at) {
    return at + 2 < utf8.size() && utf8[at] == '\xE2' && (utf8[at + 1] == '\x94' || utf8[at + 1] == '\x95');
}

// Where the first box-drawing character from `from` on starts.
std::size_t first_box(std::string_view utf8, std::size_t from = 0) {
    std::size_t at = utf8.find('\xE2', from);
    while (at != std::string_view::npos && !box_at(utf8, at)) at = utf8.find('\xE2', at + 1);
    return at;
}

// A bit for each character of the block, set where its stroke runs on to the right of its cell.
constexpr std::uint64_t right_stroke[] = {0xfffff00ff0f0f333ULL, 0x54413ff1c71d3fffULL};

bool stroke_runs_right(std::string_view box) {
    const unsigned offset = (static_cast<unsigned char>(box[1]) - 0x94u) * 64u + (static_cast<unsigned char>(box[2]) & 0x3Fu);
    return (right_stroke[offset / 64] >> (offset % 64) & 1u) != 0;
}

}  // namespace

std::string_view ConsoleOutput::encoded(std::string_view utf8) {
    return encoding_ == Encoding::cp949 ? as_cp949(utf8) : fill_boxes_ ? with_fillers(utf8) : utf8;
}

std::string_view ConsoleOutput::with_fillers(std::string_view utf8) {
    std::size_t at = first_box(utf8);
    if (at == std::string_view::npos) return utf8;
    out_.resize(2 * utf8.size());  // a filler at most doubles its character
    char* put = out_.data();
    std::size_t from = 0;
    for (; at != std::string_view::npos; at = first_box(utf8, from)) {
        put = std::copy(utf8.data() + from, utf8.data() + at, put);
        // A frame's edge, or its sides row after row: one run, line ends included, no search.
        for (from = at; from < utf8.size() && (utf8[from] == '\n' || box_at(utf8, from));) {
            if (utf8[from] == '\n') {
                *put++ = utf8[from++];
                continue;
            }
            put = std::copy_n(utf8.data() + from, 3, put);
            put = stroke_runs_right(utf8.substr(from, 3)) ? std::copy_n("─", 3, put) : std::copy_n(" ", 1, put);
            from += 3;
        }
    }
    put = std::copy(utf8.data() + from, utf8.data() + utf8.size(), put);
    return {out_.data(), static_cast<std::size_t>(put - out_.data())};
}

std::string_view ConsoleOutput::as_cp949(std::string_view utf8) {
    out_.resize(utf8.size());  // no character is longer in CP949 than in UTF-8
    char* put = out_.data();
    for (std::size_t i = 0; i < utf8.size();) {
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80) *put++ = utf8[i++];  // ASCII, as in CP949
        if (i == utf8.size()) break;
        const auto lead = static_cast<unsigned char>(utf8[i]);
        // The code point from the lead byte and its continuation bytes (10xxxxxx); a broken or
        // overlong form is no character.
        const std::size_t length = utf8_length(lead);
        std::uint32_t code_point = lead & (0x7Fu >> length);
        bool whole = length > 1 && lead <= 0xF4 && i + length <= utf8.size();
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            whole &= (next & 0xC0) == 0x80;
            code_point = code_point << 6 | (next & 0x3Fu);
        }
        whole = whole && code_point >= (length == 2 ? 0x80u : length == 3 ? 0x800u : 0x10000u);
        // CP949 has nothing beyond the first 65536 code points.
        const std::uint16_t form = whole && code_point <= 0xFFFF ? cp949_form(code_point, utf8.substr(i, length)) : no_form;
        i += whole ? length : 1;
        if (form == no_form) {
            *put++ = '?';
            continue;
        }
        *put++ = static_cast<char>(form >> 8);
        *put++ = static_cast<char>(form & 0xFF);
    }
    return {out_.data(), static_cast<std::size_t>(put - out_.data())};
}

std::uint16_t ConsoleOutput::cp949_form(std::uint32_t code_point, std::string_view utf8) {
    auto& row = rows_[code_point >> 8];
    if (!row) row = std::make_unique<std::array<std::uint16_t, 256>>();
    std::uint16_t& form = (*row)[code_point & 0xFF];
    if (form == 0) {
        const auto cp949 = to_cp949(utf8);
        form = cp949 && cp949->size() == 2
                   ? static_cast<std::uint16_t>(static_cast<unsigned char>((*cp949)[0]) << 8 | static_cast<unsigned char>((*cp949)[1]))
                   : no_form;
    }
    return form;
}

ConsoleOutput::ConsoleOutput(int fd, SystemCalls& calls, Encoding encoding, int box_columns)
    : fd_(fd), calls_(calls), encoding_(encoding), fill_boxes_(box_columns != 2), buffer_(new char[held_most]) {
    setp(buffer_.get(), buffer_.get() + held_most);
}

int ConsoleOutput::sync() {
    // What is held goes, but for a character whose last bytes are still to come (a full buffer
    // cut it), which moves to the front.
    const std::string_view held(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    const std::size_t whole = whole_characters(held);
    std::string_view text = held.substr(0, whole);
    if (keeps_line) keep_line(text);
    if (const std::size_t at = measure_box && !failed_ ? first_box(text) : std::string_view::npos; at != std::string_view::npos) {
        write_out(encoded(text.substr(0, at)));
        fill_boxes_ = std::exchange(measure_box, nullptr)(text.substr(at, 3)) != 2;
        // The measurement drew the character itself: what follows it is its filler, if any.
        write_out(encoded(text.substr(at)).substr(3));
    } else {
        write_out(encoded(text));
    }
    std::memmove(buffer_.get(), held.data() + whole, held.size() - whole);
    setp(buffer_.get(), buffer_.get() + held_most);
    pbump(static_cast<int>(held.size() - whole));
    return 0;
}

void ConsoleOutput::keep_line(std::string_view text) {
    if (const std::size_t end = text.rfind('\n'); end != std::string_view::npos) {
        line_.assign(text.substr(end + 1));
    } else {
        line_.append(text.substr(text.size() - std::min(text.size(), line_most)));
        if (line_.size() > line_most) line_.erase(0, line_.size() - line_most);
    }
}

void ConsoleOutput::echo(std::string_view bytes, bool now) {
    echoed_.append(bytes);
    if (bytes.find('\n') != std::string_view::npos) line_.clear();
    if (now) write_out({});
}

ConsoleOutput::int_type ConsoleOutput::overflow(int_type ch) {
    sync();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

void ConsoleOutput::write_out(std::string_view bytes) {
    std::string joined;
    if (!echoed_.empty()) {  // the echo first, in the same write
        joined = std::exchange(echoed_, {});
        bytes = joined.append(bytes);
    }
    while (!failed_ && !bytes.empty()) {
        const long written = calls_.write(fd_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        // A descriptor inherited in non-blocking mode: a full pipe is a reason to wait, not a failure.
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && calls_.wait(fd_, true)) continue;
        failed_ = true;
        throw OutputFailed(written < 0 ? errno : EIO);
    }
}

}  // namespace console
