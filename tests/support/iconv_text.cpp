#include "iconv_text.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace testing_support {

std::optional<std::string> iconv_text(const char* to, const char* from, std::string_view text) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter for the pair is a broken test machine, not an answer about the text.
        std::fprintf(stderr, "iconv cannot convert from %s to %s\n", from, to);
        std::abort();
    }
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());  // iconv's signature; the text is not changed
    std::size_t in_left = text.size();
    std::size_t put = 0;
    bool whole = true;
    // The second round, with no input, ends any shift state the output is in.
    for (bool ending = false;;) {
        char* out_at = out.data() + put;
        std::size_t out_left = out.size() - put;
        const std::size_t result = ending ? iconv(cd, nullptr, nullptr, &out_at, &out_left)
                                          : iconv(cd, &in, &in_left, &out_at, &out_left);
        put = out.size() - out_left;
        if (result == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            whole = false;
            break;
        }
        if (ending) break;
        ending = true;
    }
    iconv_close(cd);
    if (!whole || in_left != 0) return std::nullopt;
    out.resize(put);
    return out;
}

}  // namespace testing_support
