// The WMI processor texts over one or two sockets.
#include "system/wmi_processor_texts.h"

#include <gtest/gtest.h>

#include "core/shared_state.h"

namespace {

WmiProcessorValues socket(const wchar_t* name, const wchar_t* cores, const wchar_t* logical) {
    WmiProcessorValues values;
    values[0] = L"3600";
    values[5] = L"3601";
    values[6] = name;
    values[7] = cores;
    values[8] = cores;
    values[9] = logical;
    return values;
}

}  // namespace

TEST(WmiProcessorTexts, ValuesAreTrimmedAndCollapsed) {
    EXPECT_EQ(wmi_value_text(L"  Intel(R)  Xeon(R)   Gold  "), L"Intel(R) Xeon(R) Gold");
    EXPECT_EQ(wmi_value_text(L""), L"");
}

TEST(WmiProcessorTexts, OneSocketGivesItsValuesAndMissingOnesStayEmpty) {
    WmiProcessorTexts texts;
    wmi_processor_texts_add(texts, socket(L" Xeon  Gold ", L"8", L"16"));
    EXPECT_EQ(texts.texts[6], L"Xeon Gold");
    EXPECT_EQ(texts.texts[9], L"16");
    EXPECT_EQ(texts.texts[10], L"");  // no ProcessorId: empty, never the property's name
    EXPECT_EQ(texts.texts[1], L"");
}

TEST(WmiProcessorTexts, SecondSocketAddsItsCountsAndKeepsTheFirstNames) {
    WmiProcessorTexts texts;
    wmi_processor_texts_add(texts, socket(L"Xeon Gold", L"8", L"16"));
    wmi_processor_texts_add(texts, socket(L"Xeon Gold", L"8", L"16"));
    EXPECT_EQ(texts.objects, 2);
    EXPECT_EQ(texts.texts[6], L"Xeon Gold");
    EXPECT_EQ(texts.texts[5], L"3601");
    EXPECT_EQ(texts.texts[7], L"16");
    EXPECT_EQ(texts.texts[9], L"32");

    WmiProcessorValues empty_socket;  // a socket without counts leaves them as they are
    wmi_processor_texts_add(texts, empty_socket);
    EXPECT_EQ(texts.texts[9], L"32");
    EXPECT_EQ(texts.texts[6], L"Xeon Gold");
}

TEST(WmiProcessorTexts, PropertiesSitAtTheirSharedTexts) {
    const auto property = [](int text) {
        return std::wstring(WMI_PROCESSOR_PROPERTIES[text - WMI_PROCESSOR_TEXT_FIRST]);
    };
    EXPECT_EQ(WMI_PROCESSOR_TEXT_FIRST, CPU_CURRENT_CLOCK_TEXT);
    EXPECT_EQ(property(CPU_DESCRIPTION_TEXT), L"Description");
    EXPECT_EQ(property(CPU_MAX_CLOCK_TEXT), L"MaxClockSpeed");
    EXPECT_EQ(property(CPU_NAME_TEXT), L"Name");
    EXPECT_EQ(property(CPU_CORES_TEXT), L"NumberOfCores");
    EXPECT_EQ(property(CPU_LOGICAL_COUNT_TEXT), L"NumberOfLogicalProcessors");
    EXPECT_EQ(property(CPU_PROCESSOR_ID_TEXT), L"ProcessorId");
}
