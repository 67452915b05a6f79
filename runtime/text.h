// Text conversions between UTF-8, UTF-16 and the wide texts of the program, and small text helpers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Conversions never read past their input. A sequence that is not valid (a stray or truncated UTF-8
// sequence, an overlong form, a lone surrogate, a value above U+10FFFF) becomes U+FFFD.
std::string utf8_from_wide(std::wstring_view text);
std::wstring wide_from_utf8(std::string_view bytes);
std::u16string utf16_from_wide(std::wstring_view text);
std::wstring wide_from_utf16(std::u16string_view text);

// Text in the system's ANSI code page, for files written by editors that know no other: on Windows the code page
// of the system locale, natively Windows-1252 (Latin-1 with its own characters from 0x80 to 0x9F).
std::wstring wide_from_ansi(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool utf8_valid(std::string_view bytes);

// The text cut to at most `width` characters; a surrogate pair that the cut would split goes whole, so the cut
// text never ends in half a character.
std::wstring_view text_cut(std::wstring_view text, std::size_t width);

// Removes spaces, tabs, CR and LF from both ends.
std::wstring text_trim(std::wstring_view text);
std::string text_trim(std::string_view text);

// Case mapping and comparison of the ASCII letters only; every other character is left as it is.
std::wstring text_lower_ascii(std::wstring_view text);
std::wstring text_upper_ascii(std::wstring_view text);
bool text_equal_nocase_ascii(std::wstring_view a, std::wstring_view b);

// Splits a text at every separator: "a,,b" gives "a", "", "b"; an empty text gives one empty field.
std::vector<std::wstring> text_split(std::wstring_view text, wchar_t separator);
