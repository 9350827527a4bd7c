#include "output.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace console {
namespace {

// Where the last whole character of UTF-8 `text` ends: a full buffer may cut one short.
std::size_t whole_characters(std::string_view text) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
        const auto b = static_cast<unsigned char>(text[text.size() - back]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

}  // namespace

ConsoleOutput::ConsoleOutput(int fd, bool terminal, Encoding encoding, SystemCalls& calls)
    : fd_(fd), terminal_(terminal), calls_(calls), encoder_(encoding), buffer_(new char[held_most]) {
    setp(buffer_.get(), buffer_.get() + held_most);
}

void ConsoleOutput::write_held() {
    // What is held goes, but for a character whose last bytes are still to come (a full buffer
    // cut it), which moves to the front.
    const std::string_view held(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    const std::size_t whole = whole_characters(held);
    if (!failed_ && whole > 0) {
        const std::string_view encoded = encoder_.encoded(held.substr(0, whole));
        write_out(encoded.data(), encoded.size());
    }
    std::memmove(buffer_.get(), held.data() + whole, held.size() - whole);
    setp(buffer_.get(), buffer_.get() + held_most);
    pbump(static_cast<int>(held.size() - whole));
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
    // Most pieces are a few bytes that fit: one copy, none of the general loop's bookkeeping.
    if (size > epptr() - pptr()) return std::streambuf::xsputn(data, size);
    std::memcpy(pptr(), data, static_cast<std::size_t>(size));
    pbump(static_cast<int>(size));
    return size;
}

int ConsoleOutput::sync() {
    if (terminal_) write_held();
    return 0;
}

void ConsoleOutput::write_repeated(std::string_view text, std::uint64_t times) {
    write_held();
    if (failed_ || times == 0) return;
    const std::string_view encoded = encoder_.encoded(text);
    for (std::uint64_t i = 0; i < times; ++i) write_out(encoded.data(), encoded.size());
}

void ConsoleOutput::write_out(const char* data, std::size_t size) {
    // Bulk output stops at every 64 KiB a pipe holds until its reader has made room: a program
    // that writes this much between two reads asks, once, for a larger pipe.
    constexpr std::size_t bulk = 1 << 15;
    if (!terminal_ && !widened_ && size >= bulk) {
        widened_ = true;
        calls_.widen_pipe(fd_);
    }
    while (size > 0) {
        const long written = calls_.write(fd_, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
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
