// The AMD display library's result test, allocation callback, driver number and driver date, and the PCI
// location text of an AMD GPU entry.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "gpu/amd_gpu.h"
#include "gpu/gpu_entries.h"

namespace {

TEST(AdlTexts, OnlyZeroIsSuccess) {
    for (const AdlResult result : {0, 1, 4, -1, -8}) EXPECT_EQ(adl_result_ok(result), result == 0) << result;
}

TEST(AdlTexts, AllocationGivesZeroFilledBlocksAndNothingForNoSize) {
    EXPECT_EQ(adl_memory_alloc(0), nullptr);
    EXPECT_EQ(adl_memory_alloc(-5), nullptr);
    auto* block = static_cast<unsigned char*>(adl_memory_alloc(300));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(block[i], 0) << i;
    std::free(block);  // the program never frees them; the test does so the sanitizer sees no leak
}

TEST(AdlTexts, DriverMajorNumber) {
    struct Case {
        const wchar_t* text;
        int major;
    };
    const Case cases[] = {{L"22.11.2", 22}, {L"21.9", 21}, {L"  23.1", 23}, {L"+24", 24}, {L"-3", -3},
                          {L"v22", 0},      {L"", 0},      {L"31.0.21001.45002-220315a", 31}};
    for (const Case& c : cases) EXPECT_EQ(adl_driver_major(c.text), c.major) << c.text;
}

TEST(AdlTexts, DriverDateFromTheSecondField) {
    struct Case {
        const wchar_t* version;
        const wchar_t* date;
    };
    const Case cases[] = {
        {L"31.0.21001.45002-220315a-380243E-AMD-Software", L"2022/03/15"},
        {L"23.20-230906", L"2023/09/06"},
        {L"24.1-240229", L"2024/02/29"},  // leap day
        {L"23.1-230229", L""},           // no such day
        {L"23.1-231301", L""},           // no 13th month
        {L"23.1-2303", L""},             // too short to make a day
        {L"23.1-ab0315", L""},
        {L"23.1", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(adl_driver_date(c.version), c.date) << c.version;
}

TEST(AdlTexts, TextFieldsStopAtTheirEndWithoutATerminator) {
    char field[8] = {'R', 'a', 'd', 'e', 'o', 'n', 'X', 'Y'};
    EXPECT_EQ(adl_text(field, sizeof field), L"RadeonXY");
    field[6] = '\0';
    EXPECT_EQ(adl_text(field, sizeof field), L"Radeon");
    EXPECT_EQ(adl_text(nullptr, 4), L"");
}

TEST(AdlTexts, AmdPciLocationIsDecimalAndPadded) {
    EXPECT_EQ(amd_pci_location(3, 0, 0), L"0000:03:00.0");
    EXPECT_EQ(amd_pci_location(26, 0, 1), L"0000:26:00.1");
    EXPECT_EQ(amd_pci_location(130, 12, 0), L"0000:130:12.0");
}

}  // namespace
