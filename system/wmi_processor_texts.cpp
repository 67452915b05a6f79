// The WMI processor facts as texts, over one or several processor sockets.
#include "system/wmi_processor_texts.h"

#include <algorithm>

#include "runtime/text.h"
#include "system/cpu_readout.h"
#include "system/system_summary_lines.h"

namespace {

// The counts that add up over sockets: NumberOfCores, NumberOfEnabledCore, NumberOfLogicalProcessors.
constexpr bool is_summed(int property) {
    const int text = WMI_PROCESSOR_TEXT_FIRST + property;
    return text == CPU_CORES_TEXT || text == CPU_ENABLED_CORES_TEXT || text == CPU_LOGICAL_COUNT_TEXT;
}

}  // namespace

std::wstring wmi_value_text(std::wstring_view raw) { return collapse_spaces(text_trim(raw)); }

void wmi_processor_texts_add(WmiProcessorTexts& texts, const WmiProcessorValues& values) {
    ++texts.objects;
    for (int i = 0; i < WMI_PROCESSOR_PROPERTY_COUNT; ++i) {
        const std::wstring value = values[i] ? wmi_value_text(*values[i]) : std::wstring();
        if (texts.objects == 1) {
            texts.texts[i] = value;
        } else if (is_summed(i)) {
            // Counts are small; the cap only keeps a nonsense answer from overflowing the sum.
            const int64_t sum = std::min<int64_t>(leading_integer(texts.texts[i]), 1'000'000) +
                                std::min<int64_t>(leading_integer(value), 1'000'000);
            if (sum > 0) texts.texts[i] = std::to_wstring(sum);
        }
    }
}
