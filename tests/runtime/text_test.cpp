// Tests of the UTF-8 and UTF-16 conversions and the small text helpers.
#include "runtime/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

const std::wstring FFFD(1, static_cast<wchar_t>(0xFFFD));

// The bytes in a heap block of exactly their size, so that reading one byte past the end is caught by
// AddressSanitizer (a std::string would have its terminator there).
struct ExactBytes {
    std::unique_ptr<char[]> Data;
    size_t Size;
    explicit ExactBytes(std::string_view bytes) : Data(new char[bytes.size() ? bytes.size() : 1]), Size(bytes.size()) {
        if (Size) std::memcpy(Data.get(), bytes.data(), Size);
    }
    std::string_view view() const { return std::string_view(Data.get(), Size); }
};

std::wstring wide_of(std::initializer_list<char32_t> code_points) {
    std::wstring out;
    for (char32_t c : code_points) {
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

}  // namespace

TEST(Text, Utf8RoundTrips) {
    struct Case {
        std::wstring wide;
        std::string utf8;
    };
    const Case cases[] = {
        {L"", ""},
        {L"Sotrix 1.0", "Sotrix 1.0"},
        {wide_of({0xE4, 0xDF}), "\xC3\xA4\xC3\x9F"},
        {wide_of({0x20AC}), "\xE2\x82\xAC"},
        {wide_of({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF}), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
        {wide_of({0x1F600}), "\xF0\x9F\x98\x80"},
        {wide_of({0x10FFFF}), "\xF4\x8F\xBF\xBF"},
        {wide_of({'a', 0x1F600, 'b', 0x10000, 0xE4}),
         "a\xF0\x9F\x98\x80"
         "b\xF0\x90\x80\x80\xC3\xA4"},
        {std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8_from_wide(c.wide), c.utf8);
        const ExactBytes bytes(c.utf8);
        EXPECT_EQ(wide_from_utf8(bytes.view()), c.wide);
        EXPECT_TRUE(utf8_valid(bytes.view()));
        EXPECT_EQ(wide_from_utf16(utf16_from_wide(c.wide)), c.wide);
    }
    EXPECT_EQ(utf16_from_wide(wide_of({0x1F600})), std::u16string(u"\U0001F600"));
    EXPECT_EQ(utf16_from_wide(wide_of({0x1F600})).size(), 2u);
    EXPECT_EQ(wide_from_utf16(u"a\U0001F600"), wide_of({'a', 0x1F600}));
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::wstring wide;
    };
    const Case cases[] = {
        {"\x80", FFFD},  // continuation byte without a lead
        {"\xBF"
         "a",
         FFFD + L"a"},
        {"\xFF", FFFD},             // never valid
        {"\xC0\xAF", FFFD + FFFD},  // overlong "/"
        {"\xC1\xBF", FFFD + FFFD},
        {"\xE0\x80\xAF", FFFD + FFFD + FFFD},             // overlong three-byte form
        {"\xF0\x80\x80\xAF", FFFD + FFFD + FFFD + FFFD},  // overlong four-byte form
        {"\xED\xA0\x80", FFFD + FFFD + FFFD},             // a UTF-16 surrogate
        {"\xF4\x90\x80\x80", FFFD + FFFD + FFFD + FFFD},  // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", FFFD + FFFD + FFFD + FFFD + FFFD},
        // Truncated sequences: the valid prefix becomes one replacement character.
        {"\xC3", FFFD},
        {"\xE2\x82", FFFD},
        {"\xF0\x9F\x98", FFFD},
        {"a\xF0\x9F", L"a" + FFFD},
        {"\xE2\x82"
         "b",
         FFFD + L"b"},
        {"\xF0\x9F\x98"
         "\xC3\xA4",
         FFFD + wide_of({0xE4})},
        {"\xE2\x82\xE2\x82\xAC", FFFD + wide_of({0x20AC})},
    };
    for (const Case& c : cases) {
        const ExactBytes bytes(c.bytes);
        EXPECT_EQ(wide_from_utf8(bytes.view()), c.wide) << testing::PrintToString(c.bytes);
        EXPECT_FALSE(utf8_valid(bytes.view())) << testing::PrintToString(c.bytes);
    }
}

TEST(Text, RandomBytesNeverReadPastTheInput) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string raw(random() % 12, '\0');
        for (char& c : raw) c = static_cast<char>(0x80 | random() % 0x80);  // mostly multi-byte material
        if (!raw.empty() && random() % 2) raw[0] = static_cast<char>(0xC0 + random() % 0x40);
        const ExactBytes bytes(raw);
        const std::wstring wide = wide_from_utf8(bytes.view());
        EXPECT_LE(wide.size(), raw.size() * 2);
        // Whatever came in, what goes out again is valid UTF-8.
        EXPECT_TRUE(utf8_valid(utf8_from_wide(wide)));
    }
}

TEST(Text, LoneSurrogatesBecomeReplacementCharacters) {
    const std::wstring lone_high = wide_of({0xD800});
    const std::wstring lone_low = wide_of({0xDC00});
    EXPECT_EQ(utf8_from_wide(lone_high), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8_from_wide(lone_low + L"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(utf8_from_wide(lone_high + L"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(wide_from_utf16(std::u16string(1, static_cast<char16_t>(0xD83D))), FFFD);
    EXPECT_EQ(wide_from_utf16(std::u16string{static_cast<char16_t>(0xDE00), u'a'}), FFFD + L"a");
    EXPECT_EQ(utf16_from_wide(lone_high), std::u16string(1, static_cast<char16_t>(0xFFFD)));
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(utf8_from_wide(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    }
}

TEST(Text, Trim) {
    EXPECT_EQ(text_trim(std::wstring_view(L" \t\r\n key = value \r\n")), L"key = value");
    EXPECT_EQ(text_trim(std::wstring_view(L" \t\r\n")), L"");
    EXPECT_EQ(text_trim(std::wstring_view(L"")), L"");
    EXPECT_EQ(text_trim(std::wstring_view(L"x")), L"x");
    EXPECT_EQ(text_trim(std::wstring_view(L"\u00a0x\u00a0")), L"\u00a0x\u00a0");  // only the four blanks
    EXPECT_EQ(text_trim(std::string_view("  a b\t")), "a b");
    EXPECT_EQ(text_trim(std::string_view("\xC3\xA4 ")), "\xC3\xA4");
}

// A cut never leaves half of a surrogate pair: the pair goes whole (the program's texts are UTF-16 on Windows).
TEST(Text, CutKeepsSurrogatePairsWhole) {
    const std::wstring face{L'a', L'b', wchar_t{0xD83D}, wchar_t{0xDE00}};  // "ab" and U+1F600
    const struct {
        std::wstring text;
        size_t width;
        std::wstring cut;
    } cases[] = {
        {L"abc", 5, L"abc"},
        {L"abcdef", 3, L"abc"},
        {face, 4, face},
        {face, 3, L"ab"},
        {face, 2, L"ab"},
        {face.substr(2), 1, L""},
        {std::wstring{L'a', wchar_t{0xD83D}, L'c'}, 2, std::wstring{L'a', wchar_t{0xD83D}}},  // already broken
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_cut(c.text, c.width), c.cut) << c.width;
    }
}

TEST(Text, AsciiCase) {
    EXPECT_EQ(text_lower_ascii(L"Sotrix.INI \u00c4"), L"sotrix.ini \u00c4");
    EXPECT_EQ(text_upper_ascii(L"json z@[ \u00e4"), L"JSON Z@[ \u00e4");
    EXPECT_TRUE(text_equal_nocase_ascii(L"ColorCPU", L"colorcpu"));
    EXPECT_TRUE(text_equal_nocase_ascii(L"", L""));
    EXPECT_FALSE(text_equal_nocase_ascii(L"Color", L"ColorCPU"));
    EXPECT_FALSE(text_equal_nocase_ascii(L"\u00c4", L"\u00e4"));
    EXPECT_FALSE(text_equal_nocase_ascii(L"@", L"`"));  // neighbours of the letters stay apart
    EXPECT_FALSE(text_equal_nocase_ascii(L"[", L"{"));
}

TEST(Text, Split) {
    struct Case {
        const wchar_t* text;
        std::vector<std::wstring> fields;
    };
    const Case cases[] = {
        {L"", {L""}},       {L"a", {L"a"}},       {L"a,b,c", {L"a", L"b", L"c"}}, {L"a,,b", {L"a", L"", L"b"}},
        {L",", {L"", L""}}, {L"a,", {L"a", L""}}, {L",a", {L"", L"a"}},
    };
    for (const Case& c : cases) EXPECT_EQ(text_split(c.text, L','), c.fields) << c.text;
}
