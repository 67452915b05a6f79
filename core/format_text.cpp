// Small text builders for durations, ages, sizes, frequencies, percentages, choices and base-36 numbers.
#include "core/format_text.h"

#include <limits>
#include <utility>

#include "core/format_number.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/date.h"

namespace {

void append_part(std::wstring& text, int64_t number, std::wstring_view unit) {
    if (number != 0) {
        text += std::to_wstring(number);
        text += unit;
    }
}

std::wstring without_trailing_spaces(std::wstring text) {
    const size_t end = text.find_last_not_of(L' ');
    text.erase(end == std::wstring::npos ? 0 : end + 1);
    return text;
}

}  // namespace

std::wstring format_duration(int64_t seconds) {
    if (seconds <= 0) {
        return L"0s";
    }
    std::wstring text;
    append_part(text, seconds / 86'400, L"d ");
    append_part(text, seconds % 86'400 / 3600, L"h ");
    append_part(text, seconds % 3600 / 60, L"m ");
    append_part(text, seconds % 60, L"s");
    return without_trailing_spaces(std::move(text));
}

std::wstring format_duration_dhm(int64_t seconds) {
    std::wstring text;
    append_part(text, seconds / 86'400, L"d ");
    append_part(text, seconds % 86'400 / 3600, L"h ");
    append_part(text, seconds % 3600 / 60, L"m");
    return without_trailing_spaces(std::move(text));
}

std::wstring format_age() {
    const int64_t stamp = SharedQuads[AGE_STAMP].load(std::memory_order_relaxed);
    if (stamp == 0) {
        return {};
    }
    // The stamp comes from another thread and may be anything; an age that does not fit stays at the limit.
    int64_t age = 0;
    if (__builtin_sub_overflow(date_now(), stamp, &age)) {
        age = stamp < 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    if (SharedInts[LANGUAGE].load(std::memory_order_relaxed) == LANGUAGE_GERMAN) {
        return L"~ von " + format_duration(age);
    }
    return L"~ " + format_duration(age) + L" ago";
}

std::wstring format_memory_mb(int64_t megabytes, int32_t percent) {
    std::wstring text;
    // From 102,349 MB on the one-decimal GB figure would need five characters (100.0).
    if (megabytes >= 102'349) {
        text = right_justify(format_fixed(static_cast<float>(megabytes) / 1024.0f, 0), 4) + L"G";
    } else if (megabytes >= 10'000) {
        text = right_justify(format_fixed(static_cast<float>(megabytes) / 1024.0f, 1), 4) + L"G";
    } else {
        text = right_justify(format_fixed(static_cast<float>(megabytes), 0), 4) + L"M";
    }
    return text + right_justify(std::to_wstring(percent), 3) + L"%";
}

std::wstring format_frequency(int32_t megahertz) {
    if (megahertz >= 10'000) {
        return right_justify(std::to_wstring(megahertz / 1000), 4) + L"GHz";
    }
    if (megahertz >= 1000) {
        const float gigahertz = static_cast<float>(static_cast<double>(megahertz) / 1000.0);
        return right_justify(format_fixed(gigahertz, 1), 4) + L"GHz";
    }
    return right_justify(std::to_wstring(megahertz), 4) + L"MHz";
}

std::wstring format_percent(int32_t percent) {
    if (percent >= 100) {
        return L"MAX";
    }
    return right_justify(std::to_wstring(percent), 2) + L"%";
}

std::wstring format_count_delta(std::wstring_view prefix, int32_t new_value, int32_t old_value,
                                std::wstring_view suffix) {
    if (new_value == old_value) {
        return {};
    }
    const int64_t change = int64_t{new_value} - int64_t{old_value};
    std::wstring text(prefix);
    if (change > 0) {
        text += L'+';
    }
    text += std::to_wstring(change);
    text += suffix;
    return text;
}

std::wstring right_align_number_or_text(int32_t number, int32_t width, std::wstring_view fallback) {
    if (number > 0) {
        return right_justify(std::to_wstring(number), width);
    }
    return right_justify(fallback, width);
}

std::wstring iif_text(int64_t flag, std::wstring_view when_true, std::wstring_view when_false) {
    return std::wstring(flag != 0 ? when_true : when_false);
}

std::wstring iif_not_empty(std::wstring_view probe, std::wstring_view when_filled, std::wstring_view when_empty) {
    const bool filled = probe.find_first_not_of(L' ') != std::wstring_view::npos;
    return std::wstring(filled ? when_filled : when_empty);
}

std::wstring yes_no_text(int64_t flag) { return tr(flag != 0 ? L"Yes" : L"No"); }

std::wstring choose_text(int32_t index, std::initializer_list<std::wstring_view> texts) {
    if (index >= 1 && index <= 10 && static_cast<size_t>(index) <= texts.size()) {
        return std::wstring(texts.begin()[index - 1]);
    }
    return tr(L"Type") + L" " + std::to_wstring(index);
}

std::wstring base36_encode(int64_t value) {
    if (value < 0) {
        return {};
    }
    if (value == 0) {
        return L"0";
    }
    std::wstring reversed;
    while (value > 0) {
        reversed.push_back(BASE36_DIGITS[static_cast<size_t>(value % 36)]);
        value /= 36;
    }
    return std::wstring(reversed.rbegin(), reversed.rend());
}

int64_t base36_decode(std::wstring_view digits, int64_t maximum) {
    constexpr int64_t LIMIT = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (const wchar_t c : digits) {
        int64_t digit = 0;
        if (c >= L'0' && c <= L'9') {
            digit = c - L'0';
        } else if (c >= L'A' && c <= L'Z') {
            digit = c - L'A' + 10;
        } else if (c >= L'a' && c <= L'z') {
            digit = c - L'a' + 10;
        } else {
            return 0;
        }
        // Past the maximum more digits only make the value larger, so it stays where it is; the rest of
        // the text is still checked, since a bad character anywhere gives 0.
        if (value > maximum) {
            continue;
        }
        value = value > (LIMIT - digit) / 36 ? LIMIT : value * 36 + digit;
    }
    if (digits.empty()) {
        return 0;
    }
    return value > maximum ? maximum : value;
}

std::wstring text_after_marker(std::wstring_view text, std::wstring_view marker) {
    if (text.empty() || marker.empty()) {
        return {};
    }
    const size_t found = text.find(marker);
    // The part begins two characters after the marker's first one, whatever the marker's length.
    if (found == std::wstring_view::npos || found + 2 > text.size()) {
        return {};
    }
    const std::wstring_view part = text.substr(found + 2);
    const size_t first = part.find(L'~');
    if (first == std::wstring_view::npos) {
        return {};
    }
    const size_t second = part.find(L'~', first + 1);
    const size_t length = second == std::wstring_view::npos ? std::wstring_view::npos : second - first - 1;
    return std::wstring(part.substr(first + 1, length));
}
