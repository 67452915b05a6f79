// The processor side of the sampler as arithmetic and texts.
#include "system/cpu_readout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/format_number.h"
#include "core/format_text.h"
#include "core/shared_state.h"
#include "runtime/text.h"
#include "system/system_summary_lines.h"

namespace {

int32_t to_int32(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

int64_t divide_rounded(int64_t sum, int64_t count) {
    if (count < 1) return 0;
    const int64_t quotient = sum / count;
    const int64_t remainder = sum % count;
    // |remainder| * 2 >= count decides; computed without overflow.
    if (remainder >= count - remainder) return quotient + 1;
    if (-remainder >= count + remainder) return quotient - 1;
    return quotient;
}

int64_t round_half_away(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<int64_t>::max();
    if (value <= -9.2e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(std::llround(value));
}

std::wstring idle_state_separator(int64_t logical_count) {
    if (logical_count <= 24) return L"  ";
    if (logical_count <= 32) return L" ";
    return {};
}

ClockAverages processor_clock_averages(std::span<const PowerRecord> records, int64_t count,
                                       std::wstring_view separator) {
    ClockAverages averages;
    const int64_t used = std::min<int64_t>(count, static_cast<int64_t>(records.size()));
    if (used < 1) return averages;
    int64_t idle_sum = 0;
    int64_t mhz_sum = 0;
    for (int64_t i = 0; i < used; ++i) {
        idle_sum += records[i].current_idle_state;
        mhz_sum += records[i].current_mhz;
        averages.idle_states += std::to_wstring(records[i].current_idle_state);
        averages.idle_states += separator;
    }
    averages.average_mhz = mhz_sum / used;
    averages.average_idle = divide_rounded(idle_sum, used);
    return averages;
}

int64_t clock_percent(int64_t mhz, int64_t highest) {
    if (highest < 1) return 0;
    if (highest < 100) return mhz * 100 / highest;
    return mhz / (highest / 100);
}

int64_t load_average_percent(double sum, int64_t count) {
    if (count < 1) return -1;
    return round_half_away(sum / static_cast<double>(count));
}

int64_t clock_estimate_mhz(int64_t ticks_in_100ms) {
    if (ticks_in_100ms <= 0) return 0;
    const int64_t mhz = ticks_in_100ms / 100'000;
    return (mhz + 5) / 5 * 5;
}

int64_t clock_estimate_from_samples(const std::function<ClockSample()>& measure) {
    for (int attempt = 0; attempt < CLOCK_ESTIMATE_TRIES; ++attempt) {
        const ClockSample sample = measure();
        const int64_t mhz = sample.second_ticks > sample.first_ticks
                                ? clock_estimate_mhz(static_cast<int64_t>(sample.second_ticks - sample.first_ticks))
                                : 0;
        if (sample.first_processor == sample.second_processor && mhz > 0) return mhz;
    }
    return 0;
}

CpuReadoutTexts cpu_readout_build(const CpuReadoutInput& input) {
    CpuReadoutTexts texts;
    const std::wstring mhz = std::to_wstring(input.mhz) + L"MHz";
    texts.caption = mhz;
    texts.speed_row = mhz;
    if (input.load_sample >= 0) {
        texts.load_average = to_int32(input.load_sample);
        texts.value_text = format_percent(texts.load_average) + format_frequency(to_int32(input.mhz));
        texts.speed_row += L"\n" + std::to_wstring(input.load_sample) + L"%";
        texts.load_row = std::to_wstring(texts.load_average) + L"%\n" + texts.caption;
    } else {
        // Without counters there is no load to show: the count stands in, and the average graph gets 0.
        texts.load_average = 0;
        texts.value_text = right_justify(std::to_wstring(input.logical_count), 2) + L"x" + mhz;
        texts.speed_row += L"\n";
        texts.load_row = std::to_wstring(input.logical_count) + L"x\n" + texts.caption;
    }
    if (input.temperature > 0) {
        texts.value_text += cpu_temperature_tail(input.temperature);
    } else if (input.idle_average != 0) {
        const std::wstring tail = L" C" + std::to_wstring(input.idle_average) + L"P" + std::to_wstring(input.throttle);
        texts.value_text += tail;
        texts.load_row += tail;
        texts.throttle_shown = true;
    }
    return texts;
}

std::wstring cpu_temperature_tail(float temperature) {
    return temperature > 0 ? right_justify(format_fixed(temperature, 0) + L"C", 5) : std::wstring();
}

std::wstring cpu_speed_row_tail(const std::array<int32_t, 4>& values, const std::array<int32_t, 4>& shown,
                                bool shown_before, std::wstring_view idle_states) {
    std::wstring tail;
    for (std::size_t i = 0; i < values.size(); ++i) {
        tail += L"\n" + std::to_wstring(values[i]);
        if (shown_before) tail += format_count_delta(L"  ( ", values[i], shown[i], L" )");
    }
    tail += L"\n";
    tail += idle_states;
    return tail;
}

std::wstring cpu_base_speed_row(const ProcessorFacts& facts) {
    const std::wstring name = iif_not_empty(facts.name, facts.name, facts.description);
    const std::wstring id = iif_not_empty(facts.processor_id, L", ID:" + facts.processor_id, L"");
    return facts.max_clock + L"MHz\n" + facts.manufacturer + L"\n" + name + id + L"\n" +
           iif_not_empty(facts.l2_cache, facts.l2_cache, L"?") + L"K + " +
           iif_not_empty(facts.l3_cache, facts.l3_cache, L"?") + L"K\n" +
           iif_not_empty(facts.cores, facts.cores, L"?") + L"  ( " + std::to_wstring(facts.logical_count) + L" )";
}

std::wstring processor_name_fallback(std::wstring_view brand) {
    const std::size_t first = brand.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return L"Unknown CPU";
    return collapse_spaces(std::wstring(brand.substr(first)));
}

int64_t leading_integer(std::wstring_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == L' ') ++at;
    int64_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        if (value > (std::numeric_limits<int64_t>::max() - 9) / 10) return std::numeric_limits<int64_t>::max();
        value = value * 10 + (text[at] - L'0');
    }
    return value;
}

int64_t logical_count_choose(std::wstring_view wmi_count, int64_t affinity_count) {
    const int64_t from_wmi = leading_integer(wmi_count);
    const int64_t count = from_wmi > 0 ? from_wmi : affinity_count;
    return std::clamp<int64_t>(count, 1, MAX_CPU_COUNT);
}
