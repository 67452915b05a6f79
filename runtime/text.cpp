// Text conversions between UTF-8, UTF-16 and the wide texts of the program, and small text helpers.
#include "runtime/text.h"

#include <cstdint>

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes one code point at bytes[i] and advances i. An invalid sequence yields REPLACEMENT and advances
// over its longest valid prefix (at least one byte), the way the Unicode standard recommends.
char32_t utf8_decode_one(std::string_view bytes, size_t& i, bool& valid) {
    const auto byte_at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte_at(i);
    valid = true;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t code = 0;
    unsigned char low = 0x80;  // allowed range of the second byte; narrower after some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        ++i;
        valid = false;
        return REPLACEMENT;
    }
    size_t k = i + 1;
    for (int n = 1; n < length; ++n, ++k) {
        if (k >= bytes.size()) break;
        const unsigned char next = byte_at(k);
        const unsigned char min = n == 1 ? low : 0x80;
        const unsigned char max = n == 1 ? high : 0xBF;
        if (next < min || next > max) break;
        code = (code << 6) | (next & 0x3F);
        if (n == length - 1) {
            i = k + 1;
            return code;
        }
    }
    i = k;
    valid = false;
    return REPLACEMENT;
}

void utf8_append(std::string& out, char32_t c) {
    if (c > 0x10FFFF || is_surrogate(c)) c = REPLACEMENT;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Reads one code point from UTF-16 units; a lone surrogate yields REPLACEMENT.
template <typename Unit>
char32_t utf16_decode_one(const Unit* units, size_t count, size_t& i) {
    const char32_t first = static_cast<char32_t>(units[i]) & 0xFFFF;
    ++i;
    if (!is_surrogate(first)) return first;
    if (first <= 0xDBFF && i < count) {
        const char32_t second = static_cast<char32_t>(units[i]) & 0xFFFF;
        if (second >= 0xDC00 && second <= 0xDFFF) {
            ++i;
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        }
    }
    return REPLACEMENT;
}

template <typename Text>
void utf16_append(Text& out, char32_t c) {
    using Unit = typename Text::value_type;
    if (c > 0x10FFFF || is_surrogate(c)) c = REPLACEMENT;
    if (c < 0x10000) {
        out += static_cast<Unit>(c);
    } else {
        c -= 0x10000;
        out += static_cast<Unit>(0xD800 + (c >> 10));
        out += static_cast<Unit>(0xDC00 + (c & 0x3FF));
    }
}

constexpr bool WIDE_IS_UTF16 = sizeof(wchar_t) == 2;

// One code point of a wide text: UTF-16 on Windows, UTF-32 elsewhere.
char32_t wide_decode_one(std::wstring_view text, size_t& i) {
    if constexpr (WIDE_IS_UTF16) {
        return utf16_decode_one(text.data(), text.size(), i);
    } else {
        const char32_t c = static_cast<char32_t>(text[i]);
        ++i;
        return (c > 0x10FFFF || is_surrogate(c)) ? REPLACEMENT : c;
    }
}

void wide_append(std::wstring& out, char32_t c) {
    if constexpr (WIDE_IS_UTF16) {
        utf16_append(out, c);
    } else {
        out += static_cast<wchar_t>((c > 0x10FFFF || is_surrogate(c)) ? REPLACEMENT : c);
    }
}

bool is_blank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

template <typename Char>
std::basic_string_view<Char> trim_view(std::basic_string_view<Char> text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && is_blank(static_cast<wchar_t>(text[begin]))) ++begin;
    while (end > begin && is_blank(static_cast<wchar_t>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

wchar_t lower_ascii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }
wchar_t upper_ascii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

}  // namespace

std::string utf8_from_wide(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) utf8_append(out, wide_decode_one(text, i));
    return out;
}

std::wstring wide_from_utf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    bool valid = true;
    while (i < bytes.size()) wide_append(out, utf8_decode_one(bytes, i, valid));
    return out;
}

bool utf8_valid(std::string_view bytes) {
    size_t i = 0;
    bool valid = true;
    while (i < bytes.size()) {
        utf8_decode_one(bytes, i, valid);
        if (!valid) return false;
    }
    return true;
}

std::u16string utf16_from_wide(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) utf16_append(out, wide_decode_one(text, i));
    return out;
}

std::wstring wide_from_utf16(std::u16string_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) wide_append(out, utf16_decode_one(text.data(), text.size(), i));
    return out;
}

std::wstring_view text_cut(std::wstring_view text, std::size_t width) {
    if (text.size() <= width) return text;
    const auto high = [](wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto low = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    if (width > 0 && high(text[width - 1]) && low(text[width])) --width;
    return text.substr(0, width);
}

std::wstring text_trim(std::wstring_view text) { return std::wstring(trim_view(text)); }

std::string text_trim(std::string_view text) { return std::string(trim_view(text)); }

std::wstring text_lower_ascii(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = lower_ascii(c);
    return out;
}

std::wstring text_upper_ascii(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = upper_ascii(c);
    return out;
}

bool text_equal_nocase_ascii(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
    }
    return true;
}

std::vector<std::wstring> text_split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring> fields;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find(separator, begin);
        if (end == std::wstring_view::npos) {
            fields.emplace_back(text.substr(begin));
            return fields;
        }
        fields.emplace_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
}
