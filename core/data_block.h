// The program's constant data block: fixed tables in one little-endian byte block, with bounds-checked readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The tables of the block, in block order.
enum DataTable : int {
    DATA_WBEM_LOCATOR_CLSID = 0,  // GUID, 16 bytes, used in place
    DATA_WBEM_LOCATOR_IID,        // GUID, 16 bytes, used in place
    DATA_ICON_SMALL,              // ICO file, one 16 x 16 image, 1150 bytes
    DATA_ICON_LARGE,              // ICO file, one 64 x 64 image, 16958 bytes
    DATA_CORE_COLORS,             // 144 int32 colours (0x00BBGGRR), one per logical processor graph
    DATA_CELL_TEMPLATES,    // rows of six int32 (cell, line, column, width, text colour, back colour); cell -1 ends
    DATA_WINDOWS_RELEASES,  // rows of two texts (release name, build number); the row "-1", "-1" ends
    DATA_AMD_SENSOR_COUNT,  // one int32
    DATA_TEXT_TABLE,        // int32 language count, then records of that many texts; the key "_END_" ends
    DATA_TABLE_COUNT
};

inline constexpr std::size_t DATA_ICON_SMALL_SIZE = 1150;
inline constexpr std::size_t DATA_ICON_LARGE_SIZE = 16958;
inline constexpr int DATA_CORE_COLOR_COUNT = 144;
inline constexpr int DATA_CELL_TEMPLATE_FIELDS = 6;

// A read position in the block. Every reader owns its cursor, so readers on different threads never
// disturb each other.
struct DataBlockCursor {
    std::size_t position = 0;
};

// The whole block, built on first use (thread-safe).
std::span<const std::uint8_t> data_block();

// The bytes of one table, for use in place (identifiers, icons).
std::span<const std::uint8_t> data_block_bytes(DataTable table);

// A cursor at the start of a table.
DataBlockCursor data_block_cursor(DataTable table);

// Reads an int32 and moves past it; 0 (and the cursor at the block's end) when fewer than 4 bytes remain.
std::int32_t data_block_read_int32(DataBlockCursor& cursor);

// Reads a zero-terminated UTF-16 text and moves past its terminator; the empty text (and the cursor at the
// block's end) when no terminator lies before the end of the block.
std::wstring data_block_read_text(DataBlockCursor& cursor);
