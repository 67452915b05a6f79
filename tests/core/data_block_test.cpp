// Tests of the data block: table order and sizes, encodings, the table walks, icons and bounds checks.
#include "core/data_block.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

std::uint32_t le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::uint16_t le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::size_t table_start(DataTable table) { return data_block_cursor(table).position; }

struct ReleaseRow {
    std::wstring name;
    std::wstring build;
};

// Reads the release table the way the Windows identification does: both texts, stop after the end row.
std::vector<ReleaseRow> releases_read(DataBlockCursor& cursor) {
    std::vector<ReleaseRow> rows;
    for (;;) {
        ReleaseRow row;
        row.name = data_block_read_text(cursor);
        row.build = data_block_read_text(cursor);
        if (row.name == L"-1") break;
        rows.push_back(row);
        if (rows.size() > 100) break;  // a missing end row must not hang the test
    }
    return rows;
}

}  // namespace

TEST(DataBlock, TablesFollowEachOtherWithTheirSizes) {
    struct Case {
        DataTable table;
        std::size_t size;
    };
    const Case cases[] = {
        {DATA_WBEM_LOCATOR_CLSID, 16},
        {DATA_WBEM_LOCATOR_IID, 16},
        {DATA_ICON_SMALL, DATA_ICON_SMALL_SIZE},
        {DATA_ICON_LARGE, DATA_ICON_LARGE_SIZE},
        {DATA_CORE_COLORS, 144 * 4},
        {DATA_CELL_TEMPLATES, 13 * 6 * 4},
        {DATA_AMD_SENSOR_COUNT, 4},
    };
    EXPECT_EQ(table_start(DATA_WBEM_LOCATOR_CLSID), 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        EXPECT_EQ(data_block_bytes(c.table).size(), c.size);
    }
    std::size_t expected_start = 0;
    for (int table = 0; table < DATA_TABLE_COUNT; ++table) {
        SCOPED_TRACE(table);
        const auto bytes = data_block_bytes(static_cast<DataTable>(table));
        EXPECT_EQ(table_start(static_cast<DataTable>(table)), expected_start);
        EXPECT_EQ(bytes.data(), data_block().data() + expected_start);
        expected_start += bytes.size();
    }
    EXPECT_EQ(expected_start, data_block().size());
}

TEST(DataBlock, IdentifiersHaveTheBinaryGuidLayout) {
    auto guid_text = [](std::span<const std::uint8_t> b) {
        char text[40];
        std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", le32(b, 0), le16(b, 4),
                      le16(b, 6), b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
        return std::string(text);
    };
    EXPECT_EQ(guid_text(data_block_bytes(DATA_WBEM_LOCATOR_CLSID)), "{4590F811-1D3A-11D0-891F-00AA004B2E24}");
    EXPECT_EQ(guid_text(data_block_bytes(DATA_WBEM_LOCATOR_IID)), "{DC12A687-737F-11CF-884D-00AA004B2E24}");
}

TEST(DataBlock, IconsAreSingleImage32BitIcoFiles) {
    struct Case {
        DataTable table;
        std::uint32_t side;
    };
    for (const Case c : {Case{DATA_ICON_SMALL, 16}, Case{DATA_ICON_LARGE, 64}}) {
        SCOPED_TRACE(c.side);
        const auto ico = data_block_bytes(c.table);
        ASSERT_GE(ico.size(), 6u + 16u + 40u);
        EXPECT_EQ(le16(ico, 0), 0);  // reserved
        EXPECT_EQ(le16(ico, 2), 1);  // icon
        EXPECT_EQ(le16(ico, 4), 1);  // one image
        EXPECT_EQ(ico[6], c.side);
        EXPECT_EQ(ico[7], c.side);
        EXPECT_EQ(le16(ico, 10), 1);   // planes
        EXPECT_EQ(le16(ico, 12), 32);  // bits per pixel
        const std::uint32_t image_size = le32(ico, 14);
        const std::uint32_t image_offset = le32(ico, 18);
        ASSERT_EQ(image_offset, 22u);
        ASSERT_EQ(image_offset + image_size, ico.size());

        const auto image = ico.subspan(image_offset);
        EXPECT_EQ(le32(image, 0), 40u);         // BITMAPINFOHEADER
        EXPECT_EQ(le32(image, 4), c.side);      // width
        EXPECT_EQ(le32(image, 8), 2 * c.side);  // height of pixels and mask together
        EXPECT_EQ(le16(image, 12), 1);          // planes
        EXPECT_EQ(le16(image, 14), 32);         // bits per pixel
        EXPECT_EQ(le32(image, 16), 0u);         // BI_RGB
        const std::size_t pixel_bytes = c.side * c.side * 4;
        const std::size_t mask_row = (c.side + 31) / 32 * 4;
        ASSERT_EQ(40 + pixel_bytes + mask_row * c.side, image.size());

        // The AND mask marks exactly the fully transparent pixels, and the picture is not empty.
        std::size_t opaque = 0;
        for (std::uint32_t y = 0; y < c.side; ++y) {
            for (std::uint32_t x = 0; x < c.side; ++x) {
                const std::uint8_t alpha = image[40 + (y * c.side + x) * 4 + 3];
                const bool masked = image[40 + pixel_bytes + y * mask_row + x / 8] & (0x80 >> (x % 8));
                EXPECT_EQ(masked, alpha == 0) << x << "," << y;
                opaque += alpha == 255;
            }
        }
        EXPECT_GT(opaque, c.side * c.side / 3);
    }
}

TEST(DataBlock, CoreColorsAre144ColoursInOrder) {
    DataBlockCursor cursor = data_block_cursor(DATA_CORE_COLORS);
    std::vector<std::int32_t> colors;
    for (int i = 0; i < DATA_CORE_COLOR_COUNT; ++i) colors.push_back(data_block_read_int32(cursor));
    EXPECT_EQ(cursor.position, table_start(DATA_CELL_TEMPLATES));
    EXPECT_EQ(colors[0], 0xCC6600);
    EXPECT_EQ(colors[8], 0x6600CC);
    EXPECT_EQ(colors[55], 0x1100AA);
    EXPECT_EQ(colors[143], 0xFFCCCC);
    for (std::int32_t color : colors) EXPECT_TRUE(color >= 0 && color <= 0xFFFFFF) << color;
}

TEST(DataBlock, CellTemplateReadStopsAtTheFirstMinusOne) {
    DataBlockCursor cursor = data_block_cursor(DATA_CELL_TEMPLATES);
    std::vector<std::array<std::int32_t, 6>> rows;
    for (;;) {
        std::array<std::int32_t, 6> row{};
        row[0] = data_block_read_int32(cursor);
        if (row[0] == -1) break;
        for (int field = 1; field < 6; ++field) row[field] = data_block_read_int32(cursor);
        rows.push_back(row);
        ASSERT_LT(rows.size(), 20u);
    }
    // Only the end row's cell number was read.
    EXPECT_EQ(cursor.position, table_start(DATA_CELL_TEMPLATES) + 12 * 24 + 4);
    ASSERT_EQ(rows.size(), 12u);
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][0], static_cast<std::int32_t>(28 + i));
    EXPECT_EQ(rows[0], (std::array<std::int32_t, 6>{28, 1, 1, 15, 0xFFFFFF, 0}));
    EXPECT_EQ(rows[8], (std::array<std::int32_t, 6>{36, 4, 1, 14, 0x64B2FF, 0}));
    EXPECT_EQ(rows[11], (std::array<std::int32_t, 6>{39, 1, 27, 3, 0x0000FF, 0}));
    for (int field = 1; field < 6; ++field) EXPECT_EQ(data_block_read_int32(cursor), -1);
}

TEST(DataBlock, ReleaseTableWalkVisits19RowsAndStopsAtTheEndRow) {
    DataBlockCursor cursor = data_block_cursor(DATA_WINDOWS_RELEASES);
    const std::vector<ReleaseRow> rows = releases_read(cursor);
    EXPECT_EQ(cursor.position, table_start(DATA_AMD_SENSOR_COUNT));  // not one byte past the end row
    ASSERT_EQ(rows.size(), 19u);
    EXPECT_EQ(rows.front().name, L"1507");
    EXPECT_EQ(rows.front().build, L"10240");
    EXPECT_EQ(rows.back().name, L"25H2");
    EXPECT_EQ(rows.back().build, L"26200");
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LT(std::stoi(rows[i - 1].build), std::stoi(rows[i].build));
    // The same release name for a Windows 10 and a Windows 11 build.
    EXPECT_EQ(rows[12].name, L"21H2");
    EXPECT_EQ(rows[12].build, L"19044");
    EXPECT_EQ(rows[14].name, L"21H2");
    EXPECT_EQ(rows[14].build, L"22000");
}

TEST(DataBlock, AmdSensorCountAndTextTableFrame) {
    DataBlockCursor amd = data_block_cursor(DATA_AMD_SENSOR_COUNT);
    EXPECT_EQ(data_block_read_int32(amd), 73);
    EXPECT_EQ(amd.position, table_start(DATA_TEXT_TABLE));

    DataBlockCursor text = data_block_cursor(DATA_TEXT_TABLE);
    EXPECT_EQ(data_block_read_int32(text), 2);
    // The block ends with the end record's key.
    const std::u16string end = u"_END_";
    const auto block = data_block();
    const std::size_t end_start = block.size() - (end.size() + 1) * 2;
    for (std::size_t i = 0; i < end.size(); ++i) EXPECT_EQ(le16(block, end_start + 2 * i), end[i]);
    EXPECT_EQ(le16(block, block.size() - 2), 0);
}

TEST(DataBlock, ReadsNeverLeaveTheBlock) {
    const std::size_t size = data_block().size();
    struct Case {
        std::size_t position;
        std::int32_t expected_int;
        std::wstring expected_text;
        std::size_t text_end;
    };
    // Positions near and past the end: "_END_" and its terminator close the block.
    const Case cases[] = {
        {size - 12, 0x0045005F, L"_END_", size},  // a whole int32 and a whole text still fit
        {size - 3, 0, L"", size - 1},             // three bytes: no int32; the zero unit ends a text
        {size - 2, 0, L"", size},                 // the terminator alone: the empty text
        {size - 1, 0, L"", size},                 // one byte: no room for a terminator
        {size, 0, L"", size},
        {size + 1000, 0, L"", size},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        DataBlockCursor int_cursor{c.position};
        EXPECT_EQ(data_block_read_int32(int_cursor), c.expected_int);
        EXPECT_LE(int_cursor.position, size);
        DataBlockCursor text_cursor{c.position};
        EXPECT_EQ(data_block_read_text(text_cursor), c.expected_text);
        EXPECT_EQ(text_cursor.position, c.text_end);
        for (int i = 0; i < 3; ++i) {  // reading on at the end changes nothing
            EXPECT_EQ(data_block_read_text(text_cursor), L"");
            EXPECT_EQ(data_block_read_int32(text_cursor), 0);
        }
        EXPECT_EQ(text_cursor.position, size);
    }
    const DataTable bad = static_cast<DataTable>(DATA_TABLE_COUNT);
    EXPECT_TRUE(data_block_bytes(bad).empty());
    EXPECT_EQ(data_block_cursor(bad).position, size);
}

TEST(DataBlock, ReadersOnSeveralThreadsKeepTheirOwnPosition) {
    DataBlockCursor first = data_block_cursor(DATA_WINDOWS_RELEASES);
    const std::vector<ReleaseRow> expected = releases_read(first);
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&failures, &expected, t] {
            for (int round = 0; round < 200; ++round) {
                DataBlockCursor releases = data_block_cursor(DATA_WINDOWS_RELEASES);
                DataBlockCursor colors = data_block_cursor(DATA_CORE_COLORS);
                // Interleave two readers on this thread too.
                const std::int32_t color = data_block_read_int32(colors);
                const std::vector<ReleaseRow> rows = releases_read(releases);
                if (rows.size() != expected.size() || rows.back().build != expected.back().build) ++failures[t];
                if (color != 0xCC6600 || data_block_read_int32(colors) != 0x669900) ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int count : failures) EXPECT_EQ(count, 0);
}
