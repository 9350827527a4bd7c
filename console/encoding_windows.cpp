// Windows: CP949 for pipes and files, and the system's own conversions between UTF-8 and CP949
// (through UTF-16).
#define NOMINMAX
#include <windows.h>

#include "encoding.hpp"

namespace console {
namespace {

constexpr UINT cp949 = 949;

std::optional<std::wstring> to_utf16(UINT code_page, std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> from_utf16(UINT code_page, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    // A character the code page lacks must be refused, not replaced by a look-alike or "?".
    BOOL replaced = FALSE;
    BOOL* const check = code_page == CP_UTF8 ? nullptr : &replaced;
    const DWORD flags = code_page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int length = WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, nullptr, check);
    if (length <= 0 || replaced) return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(code_page, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::optional<std::string> convert(UINT from, UINT to, std::string_view text) {
    const auto wide = to_utf16(from, text);
    if (!wide) return std::nullopt;
    return from_utf16(to, *wide);
}

}  // namespace

Encoding encoding_from_locale() { return Encoding::cp949; }

Cp949Converter::~Cp949Converter() = default;

std::optional<std::string> Cp949Converter::to_cp949(std::string_view utf8) { return convert(CP_UTF8, cp949, utf8); }

std::optional<std::string> Cp949Converter::to_utf8(std::string_view text) { return convert(cp949, CP_UTF8, text); }

}  // namespace console
