// The windowing runtime's portable parts: DPI conversions, row columns, ICO directories, shortcut tables.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "runtime/gui/dpi/dpi_units.h"
#include "runtime/gui/image/ico_directory.h"
#include "runtime/gui/list_view/list_row_columns.h"
#include "runtime/gui/shortcut/shortcut_table.h"

namespace {

TEST(GuiUnits, DpiConversionsRoundToTheNearestPixel) {
    struct Case {
        int units;
        int dpi;
        int pixels;
    };
    const Case cases[] = {
        {100, 96, 100},  {100, 144, 150}, {7, 120, 9},  // 8.75 rounds up
        {5, 120, 6},                                    // 6.25 rounds down
        {-7, 120, -9},                                  // negative positions round away from zero too
        {260, 192, 520}, {0, 144, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dpi_scale(c.units, c.dpi), c.pixels) << c.units << " at " << c.dpi;
    }
    EXPECT_EQ(dpi_unscale(1020, 144), 680);
    EXPECT_EQ(dpi_unscale(1920, 144), 1280);
    // A DPI that Windows reports as 0 counts as 96 instead of dividing by zero.
    EXPECT_EQ(dpi_scale(50, 0), 50);
    EXPECT_EQ(dpi_unscale(50, 0), 50);
    EXPECT_EQ(dpi_scale(INT32_MAX, 2400), INT32_MAX);
}

TEST(GuiUnits, RowColumnsSplitAtLineFeeds) {
    EXPECT_EQ(list_row_column(L"a\nbb\nccc", 0), L"a");
    EXPECT_EQ(list_row_column(L"a\nbb\nccc", 1), L"bb");
    EXPECT_EQ(list_row_column(L"a\nbb\nccc", 2), L"ccc");
    EXPECT_EQ(list_row_column(L"a\nbb\nccc", 3), L"");
    EXPECT_EQ(list_row_column(L"a\n\nc", 1), L"");
    EXPECT_EQ(list_row_column(L"plain", 0), L"plain");
    EXPECT_EQ(list_row_column(L"plain", -1), L"");
    EXPECT_EQ(list_row_column(L"", 0), L"");
}

std::vector<uint8_t> ico_file(std::initializer_list<std::array<uint32_t, 4>> entries, size_t extra) {
    // Each entry: width, height, size, offset.
    std::vector<uint8_t> bytes = {0, 0, 1, 0, static_cast<uint8_t>(entries.size()), 0};
    for (const auto& entry : entries) {
        const uint8_t row[16] = {static_cast<uint8_t>(entry[0]),
                                 static_cast<uint8_t>(entry[1]),
                                 0,
                                 0,
                                 1,
                                 0,
                                 32,
                                 0,
                                 static_cast<uint8_t>(entry[2]),
                                 static_cast<uint8_t>(entry[2] >> 8),
                                 static_cast<uint8_t>(entry[2] >> 16),
                                 static_cast<uint8_t>(entry[2] >> 24),
                                 static_cast<uint8_t>(entry[3]),
                                 static_cast<uint8_t>(entry[3] >> 8),
                                 static_cast<uint8_t>(entry[3] >> 16),
                                 static_cast<uint8_t>(entry[3] >> 24)};
        bytes.insert(bytes.end(), row, row + 16);
    }
    bytes.resize(bytes.size() + extra, 0xAB);
    return bytes;
}

TEST(GuiUnits, IcoDirectoryPicksTheClosestEntryInsideTheFile) {
    const auto bytes = ico_file({{16, 16, 40, 38}, {0, 0, 40, 78}, {32, 32, 20, 118}}, 100);
    IcoImage image;
    ASSERT_TRUE(ico_find_image(bytes, 30, &image));
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.offset, 118u);
    ASSERT_TRUE(ico_find_image(bytes, 300, &image));
    EXPECT_EQ(image.width, 256);  // 0 in the directory means 256
    ASSERT_TRUE(ico_find_image(bytes, 16, &image));
    EXPECT_EQ(image.offset, 38u);
}

TEST(GuiUnits, IcoDirectoryRefusesEntriesOutsideTheBytes) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"too short for a header", {0, 0, 1}},
        {"not an icon", {0, 0, 2, 0, 1, 0}},
        {"count beyond the bytes", {0, 0, 1, 0, 9, 0}},
        {"image past the end", ico_file({{16, 16, 200, 22}}, 10)},
        {"offset past the end", ico_file({{16, 16, 1, 5000}}, 10)},
        {"size that wraps around", ico_file({{16, 16, 0xFFFFFFFFu, 22}}, 10)},
        {"empty image", ico_file({{16, 16, 0, 22}}, 10)},
    };
    for (const Case& c : cases) {
        IcoImage image;
        EXPECT_FALSE(ico_find_image(c.bytes, 16, &image)) << c.what;
    }
}

TEST(GuiUnits, ShortcutTablesArePerWindowAndTheLaterEntryWins) {
    shortcut_table_clear(100);
    shortcut_table_clear(101);
    EXPECT_EQ(shortcut_code(0x74, false, false, false), 0x74);
    EXPECT_EQ(shortcut_code(0x09, true, true, false), SHORTCUT_SHIFT | SHORTCUT_CONTROL | 0x09);
    EXPECT_EQ(shortcut_code(0xBB, false, false, true), SHORTCUT_ALT | 0xBB);
    shortcut_table_add(100, 0x74, 305);
    shortcut_table_add(101, 0x74, 305);
    shortcut_table_add(101, SHORTCUT_CONTROL | 'C', 307);
    shortcut_table_add(101, SHORTCUT_CONTROL | 'C', 321);  // the same key again replaces the first entry
    EXPECT_EQ(shortcut_table_find(100, 0x74), 305);
    EXPECT_EQ(shortcut_table_find(100, SHORTCUT_CONTROL | 'C'), -1);
    EXPECT_EQ(shortcut_table_find(101, SHORTCUT_CONTROL | 'C'), 321);
    EXPECT_EQ(shortcut_table_find(101, SHORTCUT_SHIFT | 'C'), -1);  // Shift+C is another key
    EXPECT_TRUE(shortcut_table_remove(101, 0x74));
    EXPECT_FALSE(shortcut_table_remove(101, 0x74));
    shortcut_table_clear(101);
    EXPECT_EQ(shortcut_table_find(101, SHORTCUT_CONTROL | 'C'), -1);
    EXPECT_EQ(shortcut_table_find(100, 0x74), 305);
    shortcut_table_clear(100);
}

}  // namespace
