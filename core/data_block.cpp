// The program's constant data block: the tables encoded one after another, and the bounds-checked readers.
#include "core/data_block.h"

#include "runtime/text.h"

#include <array>
#include <vector>

namespace {

struct BlockGuid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

struct BlockTextPair {
    const char16_t* first;
    const char16_t* second;
};

struct TextRecord {
    const char16_t* key;
    const char16_t* german;
};

#include "core/data_block_tables.inc"
#include "core/program_icons.inc"

constexpr TextRecord TEXT_TABLE[] = {
#include "core/text_table.inc"
};

constexpr std::int32_t TEXT_TABLE_LANGUAGES = 2;  // English key, German text

struct Block {
    std::vector<std::uint8_t> bytes;
    std::array<std::size_t, DATA_TABLE_COUNT + 1> starts{};  // starts[DATA_TABLE_COUNT] is the block's size
};

void put_uint16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_int32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
}

void put_text(std::vector<std::uint8_t>& out, const char16_t* text) {
    for (; *text != u'\0'; ++text) put_uint16(out, static_cast<std::uint16_t>(*text));
    put_uint16(out, 0);
}

void put_guid(std::vector<std::uint8_t>& out, const BlockGuid& guid) {
    put_int32(out, static_cast<std::int32_t>(guid.data1));
    put_uint16(out, guid.data2);
    put_uint16(out, guid.data3);
    out.insert(out.end(), std::begin(guid.data4), std::end(guid.data4));
}

Block block_build() {
    Block block;
    auto& out = block.bytes;
    out.reserve(32 * 1024 + 64 * 1024);
    auto begin = [&block, &out](DataTable table) { block.starts[table] = out.size(); };

    begin(DATA_WBEM_LOCATOR_CLSID);
    put_guid(out, WBEM_LOCATOR_CLSID);
    begin(DATA_WBEM_LOCATOR_IID);
    put_guid(out, WBEM_LOCATOR_IID);
    begin(DATA_ICON_SMALL);
    out.insert(out.end(), std::begin(PROGRAM_ICON_SMALL), std::end(PROGRAM_ICON_SMALL));
    begin(DATA_ICON_LARGE);
    out.insert(out.end(), std::begin(PROGRAM_ICON_LARGE), std::end(PROGRAM_ICON_LARGE));
    begin(DATA_CORE_COLORS);
    for (std::int32_t color : CORE_COLORS) put_int32(out, color);
    begin(DATA_CELL_TEMPLATES);
    for (const auto& row : CELL_TEMPLATES)
        for (std::int32_t field : row) put_int32(out, field);
    begin(DATA_WINDOWS_RELEASES);
    for (const auto& row : WINDOWS_RELEASES) {
        put_text(out, row.first);
        put_text(out, row.second);
    }
    begin(DATA_AMD_SENSOR_COUNT);
    put_int32(out, AMD_SENSOR_COUNT);
    begin(DATA_TEXT_TABLE);
    put_int32(out, TEXT_TABLE_LANGUAGES);
    for (const auto& record : TEXT_TABLE) {
        put_text(out, record.key);
        put_text(out, record.german);
    }
    put_text(out, u"_END_");
    block.starts[DATA_TABLE_COUNT] = out.size();
    return block;
}

const Block& block_get() {
    static const Block block = block_build();
    return block;
}

bool table_valid(DataTable table) { return table >= 0 && table < DATA_TABLE_COUNT; }

std::uint16_t unit_at(const std::vector<std::uint8_t>& bytes, std::size_t position) {
    return static_cast<std::uint16_t>(bytes[position] | (bytes[position + 1] << 8));
}

}  // namespace

std::span<const std::uint8_t> data_block() { return block_get().bytes; }

std::span<const std::uint8_t> data_block_bytes(DataTable table) {
    if (!table_valid(table)) return {};
    const Block& block = block_get();
    const std::size_t start = block.starts[table];
    return std::span<const std::uint8_t>(block.bytes).subspan(start, block.starts[table + 1] - start);
}

DataBlockCursor data_block_cursor(DataTable table) {
    const Block& block = block_get();
    return DataBlockCursor{table_valid(table) ? block.starts[table] : block.bytes.size()};
}

std::int32_t data_block_read_int32(DataBlockCursor& cursor) {
    const auto& bytes = block_get().bytes;
    if (cursor.position > bytes.size() || bytes.size() - cursor.position < 4) {
        cursor.position = bytes.size();
        return 0;
    }
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | bytes[cursor.position + i];
    cursor.position += 4;
    return static_cast<std::int32_t>(bits);
}

std::wstring data_block_read_text(DataBlockCursor& cursor) {
    const auto& bytes = block_get().bytes;
    std::size_t end = cursor.position;
    while (end < bytes.size() && bytes.size() - end >= 2 && unit_at(bytes, end) != 0) end += 2;
    if (end >= bytes.size() || bytes.size() - end < 2) {  // no terminator before the end of the block
        cursor.position = bytes.size();
        return {};
    }
    std::u16string units;
    units.reserve((end - cursor.position) / 2);
    for (std::size_t at = cursor.position; at < end; at += 2)
        units.push_back(static_cast<char16_t>(unit_at(bytes, at)));
    std::wstring text = wide_from_utf16(units);
    cursor.position = end + 2;
    return text;
}
