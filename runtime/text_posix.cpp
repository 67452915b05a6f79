// The ANSI code page natively: Windows-1252, the code page of Western European Windows.
#include "runtime/text.h"

namespace {

// Windows-1252 from 0x80 to 0x9F; the rest of the code page is Latin-1. The five bytes it leaves undefined map to
// the control characters of the same value, as Windows maps them.
constexpr char16_t CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::wstring wide_from_ansi(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const unsigned char c = static_cast<unsigned char>(byte);
        text += (c >= 0x80 && c <= 0x9F) ? static_cast<wchar_t>(CP1252_HIGH[c - 0x80]) : static_cast<wchar_t>(c);
    }
    return text;
}
