// A text field of fixed room inside a record: assigning a longer text cuts it to the room.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

template <std::size_t N>
struct FixedText {
    std::array<wchar_t, N + 1> chars{};

    FixedText() = default;
    FixedText(std::wstring_view text) { assign(text); }  // NOLINT: a text converts implicitly

    FixedText& operator=(std::wstring_view text) {
        assign(text);
        return *this;
    }

    void assign(std::wstring_view text) {
        const std::size_t length = text.size() < N ? text.size() : N;
        text.copy(chars.data(), length);
        chars[length] = L'\0';
    }

    std::wstring_view view() const { return std::wstring_view(chars.data()); }
    std::wstring str() const { return std::wstring(view()); }
    bool empty() const { return chars[0] == L'\0'; }
    static constexpr std::size_t capacity() { return N; }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, std::wstring_view b) { return a.view() == b; }
};
