// The eleven processor facts the WMI query asks for and how the answers of one or more processor objects
// become the texts in SharedTexts CPU_CURRENT_CLOCK_TEXT..CPU_PROCESSOR_ID_TEXT.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/shared_state.h"

inline constexpr int WMI_PROCESSOR_TEXT_FIRST = 51;  // SharedTexts index of the first property's text
inline constexpr int WMI_PROCESSOR_PROPERTY_COUNT = 11;

// The property names in text order; the query asks for these, never for what a text holds.
inline constexpr std::array<const wchar_t*, WMI_PROCESSOR_PROPERTY_COUNT> WMI_PROCESSOR_PROPERTIES = {
    L"CurrentClockSpeed", L"Description", L"L2CacheSize",   L"L3CacheSize",         L"Manufacturer",
    L"MaxClockSpeed",     L"Name",        L"NumberOfCores", L"NumberOfEnabledCore", L"NumberOfLogicalProcessors",
    L"ProcessorId",
};

// Each property's text sits at the shared text named after it.
constexpr bool wmi_property_at(int text, std::wstring_view property) {
    return property == WMI_PROCESSOR_PROPERTIES[text - WMI_PROCESSOR_TEXT_FIRST];
}
static_assert(WMI_PROCESSOR_TEXT_FIRST == CPU_CURRENT_CLOCK_TEXT &&
              WMI_PROCESSOR_TEXT_FIRST + WMI_PROCESSOR_PROPERTY_COUNT - 1 == CPU_PROCESSOR_ID_TEXT);
static_assert(wmi_property_at(CPU_CURRENT_CLOCK_TEXT, L"CurrentClockSpeed") &&
              wmi_property_at(CPU_DESCRIPTION_TEXT, L"Description") &&
              wmi_property_at(CPU_L2_CACHE_TEXT, L"L2CacheSize") &&
              wmi_property_at(CPU_L3_CACHE_TEXT, L"L3CacheSize") &&
              wmi_property_at(CPU_MANUFACTURER_TEXT, L"Manufacturer") &&
              wmi_property_at(CPU_MAX_CLOCK_TEXT, L"MaxClockSpeed") && wmi_property_at(CPU_NAME_TEXT, L"Name") &&
              wmi_property_at(CPU_CORES_TEXT, L"NumberOfCores") &&
              wmi_property_at(CPU_ENABLED_CORES_TEXT, L"NumberOfEnabledCore") &&
              wmi_property_at(CPU_LOGICAL_COUNT_TEXT, L"NumberOfLogicalProcessors") &&
              wmi_property_at(CPU_PROCESSOR_ID_TEXT, L"ProcessorId"));

// A property value as text: trimmed, runs of spaces collapsed.
std::wstring wmi_value_text(std::wstring_view raw);

// One processor object's answers; an empty optional is a property without a value we read.
using WmiProcessorValues = std::array<std::optional<std::wstring>, WMI_PROCESSOR_PROPERTY_COUNT>;

// The texts built from the processor objects seen so far. The first object gives every text; a further
// socket adds its cores and logical processors, so the counts cover the whole computer.
struct WmiProcessorTexts {
    std::array<std::wstring, WMI_PROCESSOR_PROPERTY_COUNT> texts{};
    int objects = 0;
};
void wmi_processor_texts_add(WmiProcessorTexts& texts, const WmiProcessorValues& values);
