// The eleven processor facts the WMI query asks for and how the answers of one or more processor objects
// become the texts in SharedTexts 51..61.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int WMI_PROCESSOR_TEXT_FIRST = 51;  // SharedTexts index of the first property's text
inline constexpr int WMI_PROCESSOR_PROPERTY_COUNT = 11;

// The property names in text order; the query asks for these, never for what a text holds.
inline constexpr std::array<const wchar_t*, WMI_PROCESSOR_PROPERTY_COUNT> WMI_PROCESSOR_PROPERTIES = {
    L"CurrentClockSpeed", L"Description", L"L2CacheSize",   L"L3CacheSize",         L"Manufacturer",
    L"MaxClockSpeed",     L"Name",        L"NumberOfCores", L"NumberOfEnabledCore", L"NumberOfLogicalProcessors",
    L"ProcessorId",
};

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
