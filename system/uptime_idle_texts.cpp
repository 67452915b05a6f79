// The uptime and user-idle cells as texts, the idle history and the System tab's battery row.
#include "system/uptime_idle_texts.h"

#include "core/format_text.h"
#include "core/language.h"
#include "runtime/text.h"

namespace {

constexpr std::size_t UPTIME_CELL_WIDTH = 13;
constexpr std::size_t IDLE_HISTORY_KEPT = 4;

std::wstring without_leading_spaces(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L' ');
    return first == std::wstring_view::npos ? std::wstring() : std::wstring(text.substr(first));
}

std::wstring spaces_to_plus(std::wstring text) {
    for (auto& c : text) {
        if (c == L' ') c = L'+';
    }
    return text;
}

}  // namespace

std::wstring uptime_text(int64_t uptime_s) {
    return text_trim(uptime_s > 86'400 ? format_duration_dhm(uptime_s) : format_duration(uptime_s));
}

std::wstring uptime_cell_text(std::wstring_view uptime) {
    std::wstring text;
    if (uptime.size() < UPTIME_CELL_WIDTH) text.assign((UPTIME_CELL_WIDTH - uptime.size()) / 2, L' ');
    text += uptime;
    text.resize(UPTIME_CELL_WIDTH, L' ');
    return text;
}

std::wstring idle_cell_text(int64_t idle_s) { return L" " + format_duration(idle_s) + L" "; }

bool idle_text_needs_draw(std::wstring_view drawn_text, std::wstring_view value_text) {
    return drawn_text.substr(0, 4) != value_text.substr(0, 4);
}

std::wstring idle_period_entry(std::wstring_view drawn_text) { return spaces_to_plus(text_trim(drawn_text)); }

void IdleHistory::push(std::wstring entry) {
    entries.push_front(std::move(entry));
    while (entries.size() > IDLE_HISTORY_KEPT) entries.pop_back();
}

std::wstring IdleHistory::joined() const {
    std::wstring text;
    for (const auto& entry : entries) {
        if (!text.empty()) text += L", ";
        text += entry;
    }
    return text;
}

bool idle_period_is_long(int64_t period_s, int64_t long_idle_s) { return long_idle_s >= 1 && period_s >= long_idle_s; }

std::wstring battery_list_row(const BatteryRowFacts& facts) {
    std::wstring row = without_leading_spaces(facts.battery_drawn_text) + facts.battery_status_text;
    if (facts.remaining_s >= 0) {
        row += L", " + format_duration_dhm(facts.remaining_s);
        if (facts.column_width > 600) row += L" " + tr(L"remaining");
    }
    row += L"\n" + format_duration(facts.uptime_s) + L"\n" + spaces_to_plus(text_trim(facts.idle_drawn_text)) + L", " +
           facts.idle_history_text;
    return row;
}
