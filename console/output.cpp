#include "output.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace console {
namespace {

#if CONSOLE_UTF8
// Pieces up to this long are kept converted; longer ones are seldom written twice.
constexpr std::size_t longest_kept = 256;

bool ascii(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80) return false;
    }
    return true;
}
#endif

}  // namespace

ConsoleOutput::ConsoleOutput(int fd, bool terminal, SystemCalls& calls) : fd_(fd), terminal_(terminal), calls_(calls) {
#if CONSOLE_UTF8
    converter_ = std::make_unique<Cp949ToUtf8>();
    held_.reset(new char[held_capacity]);
#else
    buffer_.reset(new char[held_most]);
    setp(buffer_.get(), buffer_.get() + held_most);
#endif
}

ConsoleOutput::~ConsoleOutput() = default;

void ConsoleOutput::write_out(const char* data, std::size_t size, bool held) {
    // Output that comes in blocks this large between two reads of the input is bulk. A program
    // that makes its text is slower than a reader taking it from a pipe, and stops at every
    // 64 KiB the pipe holds until the reader has woken up and made room: it asks, once, for a
    // larger pipe, and then writes what it held in one piece. Otherwise, and for text repeated
    // from memory, which comes faster than any reader takes it, at most 8 KiB a write: a writer
    // that fills the pipe whole waits for the reader to empty it all, where smaller writes let
    // both run at once (measured through cat: 200 MB in 8 KiB writes take about a third of the
    // time they take in 64 KiB writes into a pipe of the usual size).
    constexpr std::size_t bulk = 1 << 15;
    if (!terminal_ && !widened_ && size >= bulk) {
        widened_ = true;
        wide_pipe_ = calls_.widen_pipe(fd_);
    }
    const std::size_t most_per_write = held && wide_pipe_ ? held_most : 8192;
    while (size > 0) {
        const long written = calls_.write(fd_, data, std::min(size, most_per_write));
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        // A descriptor inherited in non-blocking mode: a full pipe is a reason to wait, not a failure.
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && calls_.wait(fd_, true)) continue;
        failed_ = true;
        throw OutputFailed();
    }
}

#if CONSOLE_UTF8

void ConsoleOutput::write_held() {
    const std::size_t size = held_size_;
    held_size_ = 0;
    if (failed_ || size == 0) return;
    write_out(held_.get(), size, true);
}

char* ConsoleOutput::room(std::size_t size) {
    if (held_capacity - held_size_ < size) write_held();
    return held_.get() + held_size_;
}

void ConsoleOutput::convert_in(std::string_view text) {
    while (!text.empty()) {
        const std::string_view piece = text.substr(0, convert_at_once);
        char* const put = room(Cp949ToUtf8::most_converted(piece.size()));
        held_size_ += converter_->convert(piece, put);
        text.remove_prefix(piece.size());
    }
}

const std::string& ConsoleOutput::converted_once(const char* data, std::size_t size) {
    scratch_.resize(Cp949ToUtf8::most_converted(size));
    scratch_.resize(converter_->convert(std::string_view(data, size), scratch_.data()));
    return scratch_;
}

const std::string& ConsoleOutput::kept(const char* data, std::size_t size) {
    if (!pieces_) {
        // A short dialogue converts each piece as it comes, and starts as fast as it would
        // without any of this; one that goes on keeps its pieces.
        constexpr int keep_after = 64;
        if (++pieces_converted_ < keep_after) return converted_once(data, size);
        pieces_ = std::make_unique<std::array<Converted, 512>>();
    }
    Converted* const ways = pieces_->data() + 2 * set_of(data);
    const std::string_view text(data, size);
    if (ways[0].source == data && ways[0].text == text) [[likely]] return ways[0].utf8;
    // Found in the second way, or made there: either way it moves to the first, and the first
    // to the second, so two pieces that take turns both stay.
    std::swap(ways[0], ways[1]);
    Converted& made = ways[0];
    if (made.source == data && made.text == text) return made.utf8;
    made.source = nullptr;
    made.utf8.resize(Cp949ToUtf8::most_converted(size));
    made.utf8.resize(converter_->convert(text, made.utf8.data()));
    // A piece that ends in half a character leaves its lead byte waiting in the converter,
    // which a copy would not: such a piece is converted every time.
    if (converter_->idle()) {
        made.source = data;
        made.text.assign(text);
    }
    return made.utf8;
}

std::streamsize ConsoleOutput::xsputn(const char* data, std::streamsize size) {
    if (failed_) return size;
    const auto count = static_cast<std::size_t>(size);
    if (converter_->idle()) {
        // A line end, a number: the same in UTF-8.
        if (count <= 16 && ascii(data, count)) {
            put_converted(std::string_view(data, count));
            return size;
        }
        if (count <= longest_kept) {
            put_converted(kept(data, count));
            return size;
        }
    }
    convert_in(std::string_view(data, count));
    return size;
}

std::string_view ConsoleOutput::converted(const char* data, std::size_t size) {
    if (converter_->idle() && size <= longest_kept) return kept(data, size);
    return converted_once(data, size);
}

std::string_view ConsoleOutput::converted_known(Text text) {
    // Kept whatever their length: the programs' texts are few, and a menu is one of them.
    if (converter_->idle()) return kept(text.data(), text.size());
    return converted_once(text.data(), text.size());
}

void ConsoleOutput::put_converted_after_write(std::string_view utf8) {
    if (failed_) return;
    if (utf8.size() > held_capacity - held_size_) write_held();
    if (utf8.size() > held_capacity) {
        write_out(utf8.data(), utf8.size(), true);
        return;
    }
    std::memcpy(held_.get() + held_size_, utf8.data(), utf8.size());
    held_size_ += utf8.size();
}

ConsoleOutput::int_type ConsoleOutput::overflow(int_type ch) {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        const char c = traits_type::to_char_type(ch);
        xsputn(&c, 1);
    }
    return traits_type::not_eof(ch);
}

void ConsoleOutput::write_repeated(std::string_view text, std::uint64_t times) {
    write_held();
    if (failed_ || times == 0) return;
    repeated_.clear();
    converter_->convert(text, repeated_);
    for (std::uint64_t i = 0; i < times; ++i) write_out(repeated_.data(), repeated_.size(), false);
}

#else

void ConsoleOutput::write_held() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.get(), buffer_.get() + held_most);
    if (failed_ || size == 0) return;
    write_out(buffer_.get(), size, true);
}

void ConsoleOutput::write_repeated(std::string_view text, std::uint64_t times) {
    write_held();
    if (failed_ || times == 0) return;
    for (std::uint64_t i = 0; i < times; ++i) write_out(text.data(), text.size(), false);
}

ConsoleOutput::int_type ConsoleOutput::overflow(int_type ch) {
    write_held();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

std::streamsize ConsoleOutput::xsputn(const char* data, std::streamsize size) {
    // Most writes are a few bytes that fit: one copy, none of the general loop's bookkeeping.
    if (held_if_room(data, static_cast<std::size_t>(size))) return size;
    return std::streambuf::xsputn(data, size);
}

#endif

int ConsoleOutput::sync() {
    if (terminal_) write_held();
    return 0;
}

}  // namespace console
