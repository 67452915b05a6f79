// The memory cells' percentages, record rows and total lines.
#include "system/memory_texts.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/language.h"

TEST(MemoryTexts, AvailablePercentNeverDividesByZero) {
    constexpr int64_t MAX64 = std::numeric_limits<int64_t>::max();
    const struct {
        int64_t available, total, percent;
    } cases[] = {
        {4, 16, 25}, {0, 16, 0}, {16, 16, 100}, {17, 16, 100},
        {5, 0, 0},   {5, -8, 0}, {-1, 16, 0},   {8589934592, 17179869184, 50},
        {1, 3, 33},
    };
    for (const auto& c : cases)
        EXPECT_EQ(memory_available_percent(c.available, c.total), c.percent) << c.available << "/" << c.total;
    // Amounts no computer has must still give a percent, without overflow.
    EXPECT_NEAR(memory_available_percent(MAX64 / 2, MAX64), 50, 1);
    EXPECT_NEAR(memory_available_percent(MAX64 - 1, MAX64), 100, 1);
}

TEST(MemoryTexts, ValueUsedAndRecordRow) {
    EXPECT_EQ(memory_value_text(8192, 50), L"8192M 50%");
    EXPECT_EQ(memory_used_text(4 * BYTES_PER_MB, 16 * BYTES_PER_MB, 25), L"  12M 75%");
    EXPECT_EQ(memory_used_text(20, 10, 100), L"   0M  0%");  // available above the total: nothing used
    const Date date = date_from_parts({2024, 5, 1, 14, 3, 27});
    EXPECT_EQ(memory_record_row(date, L"Hi  ", L"8192M 50%", L"8192M 50%"),
              L"05-01  14:03:27  Hi  \n8192M 50%\n8192M 50%");
}

TEST(MemoryTexts, TotalLineShowsTheChangeAfterTheFirst) {
    text_maps_load(LANGUAGE_ENGLISH);
    EXPECT_EQ(memory_total_line(L"Phys/Page", 0, 17179869184), L"Phys/Page Memory: 16.0G");
    EXPECT_EQ(memory_total_line(L"Page", 17179869184, 19327352832), L"Page Memory: +2048M = 18.0G");
    EXPECT_EQ(memory_total_line(L"Page", 19327352832, 17179869184), L"Page Memory: -2048M = 16.0G");
    EXPECT_EQ(compact_label_field(L"Phys,Page,CPU", 1), L"Page");
    EXPECT_EQ(compact_label_field(L"Phys", 3), L"");
}
