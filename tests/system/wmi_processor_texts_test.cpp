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

// The counts of a further socket add up only as far as they read as numbers, and a nonsense answer cannot
// run the sum away; a sum of nothing leaves the first socket's text.
TEST(WmiProcessorTexts, SecondSocketCountsThatAreNoNumbers) {
    struct Case {
        const wchar_t* first;
        const wchar_t* second;
        const wchar_t* sum;
    };
    const Case cases[] = {
        {L"16", L"unknown", L"16"},
        {L"16", L"-4", L"16"},
        {L"16", L" 8 threads", L"24"},
        {L"n/a", L"8", L"8"},
        {L"n/a", L"", L"n/a"},
        {L"16", L"99999999999999999999999", L"1000016"},
        {L"99999999999999999999999", L"99999999999999999999999", L"2000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "first " << c.first << ", second " << c.second);
        WmiProcessorTexts texts;
        wmi_processor_texts_add(texts, socket(L"Xeon Gold", c.first, c.first));
        wmi_processor_texts_add(texts, socket(L"Other Name", c.second, c.second));
        EXPECT_EQ(texts.texts[CPU_LOGICAL_COUNT_TEXT - WMI_PROCESSOR_TEXT_FIRST], c.sum);
        EXPECT_EQ(texts.texts[CPU_CORES_TEXT - WMI_PROCESSOR_TEXT_FIRST], c.sum);
        EXPECT_EQ(texts.texts[CPU_NAME_TEXT - WMI_PROCESSOR_TEXT_FIRST], L"Xeon Gold");
        EXPECT_EQ(texts.texts[CPU_MAX_CLOCK_TEXT - WMI_PROCESSOR_TEXT_FIRST], L"3601");
    }
}
