// The record walker and the fields of a record, on records built as bytes, whole, truncated and lying.
#include "eventlog/event_record.h"

#include <gtest/gtest.h>

#include "eventlog/fake_event_log.h"

namespace {

std::vector<uint8_t> join(const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> block;
    for (const auto& r : records) block.insert(block.end(), r.begin(), r.end());
    return block;
}

std::vector<uint32_t> walked_numbers(const std::vector<uint8_t>& block) {
    std::vector<uint32_t> numbers;
    event_records_walk(std::span<const uint8_t>(block), [&](const EventRecordView& r) {
        numbers.push_back(r.record_number);
        return true;
    });
    return numbers;
}

TEST(EventRecordWalk, ReadsEveryFieldOfWholeRecords) {
    FakeRecord first{.number = 42,
                     .event_id = 0x80070033,
                     .type = 0x0004,
                     .source = u"Microsoft-Windows-Kernel",
                     .strings = {u"a", u"b"},
                     .sid = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0},
                     .data = {9, 8, 7}};
    const std::vector<uint8_t> block = join({record_bytes(first), record_bytes({.number = 43})});
    std::vector<EventRecordView> seen;
    event_records_walk(std::span<const uint8_t>(block), [&](const EventRecordView& r) {
        seen.push_back(r);
        return true;
    });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].record_number, 42u);
    EXPECT_EQ(seen[0].source, u"Microsoft-Windows-Kernel");
    EXPECT_EQ(seen[0].computer, u"HOST");
    EXPECT_EQ(seen[0].strings, (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(seen[0].sid.size(), 12u);
    EXPECT_EQ(std::vector<uint8_t>(seen[0].data.begin(), seen[0].data.end()), (std::vector<uint8_t>{9, 8, 7}));

    EventRecord record;
    event_record_fill(seen[0], record);
    EXPECT_EQ(record.event_id, 0x33);
    EXPECT_EQ(record.type, 3);
    EXPECT_EQ(record.source, L"Kernel");
    EXPECT_EQ(record.message, L"a | b");
    EXPECT_EQ(record.string_count, 2);
    EXPECT_EQ(record.sid_length, 12);
    EXPECT_EQ(record.sid[7], 5);
    EXPECT_EQ(record.data_length, 0) << "only disk events keep their data";
    EXPECT_EQ(seen[1].record_number, 43u);
}

TEST(EventRecordWalk, LengthsThatLieEndTheWalk) {
    const std::vector<uint8_t> good = record_bytes({.number = 1});
    struct Case {
        const char* name;
        uint32_t second_length;  // Length field of the second record
        std::size_t cut;         // bytes cut from the end of the block
        std::vector<uint32_t> expected;
    };
    const uint32_t real = static_cast<uint32_t>(good.size());
    const Case cases[] = {
        {"length 0", 0, 0, {1}},
        {"length below the header", 55, 0, {1}},
        {"length past the block", real + 4, 0, {1}},
        {"huge length", 0xFFFFFFFF, 0, {1}},
        {"second record truncated", real, 8, {1}},
        {"only part of a header left", real, real - 20, {1}},
        {"both whole", real, 0, {1, 2}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> second = record_bytes({.number = 2});
        put32(second, FIELD_LENGTH, c.second_length);
        std::vector<uint8_t> block = join({good, second});
        block.resize(block.size() - c.cut);
        EXPECT_EQ(walked_numbers(block), c.expected) << c.name;
    }
}

TEST(EventRecordWalk, OffsetsOutsideTheRecordGiveEmptyFields) {
    // The bytes after the record are another record whose text would show if the offsets were followed.
    FakeRecord made{.number = 5, .strings = {u"inside"}, .sid = {1, 2, 3, 4}, .data = {1, 2, 3, 4}};
    struct Case {
        const char* name;
        std::size_t field;
        uint32_t value;
        bool strings_empty, sid_empty, data_empty;
    };
    const std::vector<uint8_t> base = record_bytes(made);
    const uint32_t length = static_cast<uint32_t>(base.size());
    const Case cases[] = {
        {"data past the end", FIELD_DATA_OFFSET, length - 2, false, false, true},
        {"data length lying", FIELD_DATA_LENGTH, 0x7FFFFFF0, false, false, true},
        {"data offset near 2^32", FIELD_DATA_OFFSET, 0xFFFFFFFE, false, false, true},
        {"sid past the end", FIELD_SID_OFFSET, length, false, true, false},
        {"sid length lying", FIELD_SID_LENGTH, 0xFFFFFFFF, false, true, false},
        {"strings past the end", FIELD_STRING_OFFSET, length + 40, true, false, false},
        {"strings inside the header", FIELD_STRING_OFFSET, 8, true, false, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = base;
        put32(bytes, c.field, c.value);
        const std::vector<uint8_t> block = join({bytes, record_bytes({.number = 6, .strings = {u"outside"}})});
        EventRecordView view;
        ASSERT_TRUE(event_record_at(std::span<const uint8_t>(block), 0, view)) << c.name;
        EXPECT_EQ(view.strings.empty(), c.strings_empty) << c.name;
        EXPECT_EQ(view.sid.empty(), c.sid_empty) << c.name;
        EXPECT_EQ(view.data.empty(), c.data_empty) << c.name;
        for (const auto& s : view.strings) EXPECT_NE(s, u"outside") << c.name;
    }
}

TEST(EventRecordWalk, TextsWithoutTerminatorEndAtTheRecord) {
    // A string count larger than the strings present, and a last string whose terminator is missing.
    std::vector<uint8_t> bytes = record_bytes({.number = 9, .strings = {u"one", u"two"}});
    bytes[FIELD_NUM_STRINGS] = 200;
    const std::size_t length = bytes.size();
    // Overwrite everything from the strings to the end (padding and the closing length) with letters.
    uint32_t string_offset = 0;
    std::memcpy(&string_offset, bytes.data() + FIELD_STRING_OFFSET, 4);
    for (std::size_t i = string_offset + 8; i < length; i += 2) {
        bytes[i] = 'x';
        bytes[i + 1] = 0;
    }
    std::vector<uint8_t> block = join({bytes, record_bytes({.number = 10, .strings = {u"next"}})});
    EventRecordView view;
    ASSERT_TRUE(event_record_at(std::span<const uint8_t>(block), 0, view));
    ASSERT_EQ(view.strings.size(), 2u);
    EXPECT_EQ(view.strings[0], u"one");
    EXPECT_EQ(view.strings[1].size(), (length - string_offset - 8) / 2) << "the text stops at the record's end";
}

TEST(EventRecordFields, MessagesAndSources) {
    struct Case {
        std::vector<std::u16string> strings;
        std::wstring message;
    };
    const Case messages[] = {
        {{u"a", u"", u"c"}, L"a | c"},  {{u"   "}, L"--"},      {{}, L"--"}, {{u"line1\r\nline2"}, L"line1 | line2"},
        {{u"  x  ", u" y "}, L"x | y"}, {{u"a", u""}, L"a | "},
    };
    for (const Case& c : messages) {
        EventRecordView view;
        view.strings = c.strings;
        view.string_count = static_cast<uint16_t>(c.strings.size());
        EventRecord record;
        event_record_fill(view, record);
        EXPECT_EQ(record.message, c.message);
        EXPECT_EQ(record.string_count, c.message == L"--" ? 0 : static_cast<int32_t>(c.strings.size()));
    }
    EXPECT_EQ(event_source_name(u"Microsoft-Windows-Kernel-Power"), L"Kernel-Power");
    EXPECT_EQ(event_source_name(u"Software Protection Platform Service"), L"Security-SPP");
    EXPECT_EQ(event_source_name(u"microsoft-windows-x"), L"microsoft-windows-x");
    const std::pair<uint16_t, int> types[] = {{0, 0}, {1, 1}, {2, 2}, {4, 3}, {8, 4}, {16, 5}, {6, 2}, {32, 0}};
    for (auto [bits, index] : types) EXPECT_EQ(event_type_index(bits), index) << bits;
}

TEST(EventRecordFields, DiskEventsKeepTheirDataAndWholeSids) {
    std::vector<uint8_t> long_sid(68, 0xAB);
    long_sid[0] = 1;
    const std::vector<uint8_t> bytes =
        record_bytes({.number = 3, .source = u"Disk", .sid = long_sid, .data = {0x04, 0x00, 0xFF}});
    EventRecordView view;
    ASSERT_TRUE(event_record_at(std::span<const uint8_t>(bytes), 0, view));
    EventRecord record;
    event_record_fill(view, record);
    EXPECT_EQ(record.data_length, 3);
    EXPECT_EQ(record.data_hex, L"0400FF");
    ASSERT_EQ(record.sid_length, 68) << "a SID of 68 bytes is kept whole, not cut";
    EXPECT_EQ(record.sid[67], 0xAB);
}

}  // namespace

namespace {

// The type combos fill entries 1..n for n types with events, plus the total in item 0: with all six types
// present they write entry 6.
TEST(EventTypeTableRoom, HoldsTheTotalItemAndEverySixTypes) {
    static_assert(EVENT_TYPE_ITEMS == 7);
    EXPECT_EQ(EventTypeTable.size(), EVENT_TYPE_COUNT + 1);
    for (std::size_t item = 1; item <= EVENT_TYPE_COUNT; ++item) EventTypeTable.at(item).list_item_type = 0;
}

}  // namespace
