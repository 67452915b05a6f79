// The details of one event: which event a row of the list on screen names, the lines of a fixture record
// and the sideways width, and the disk data bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/language.h"
#include "eventlog/event_details.h"

namespace {

EventRecord fixture_record() {
    EventRecord event;
    event.record_number = 4711;
    event.time_generated = date_from_parts({2026, 7, 1, 12, 0, 0});
    event.time_written = date_from_parts({2026, 7, 1, 12, 0, 1});
    event.event_id = 7;
    event.type = 1;
    event.source = L"disk";
    event.computer = L"DESK";
    event.string_count = 2;
    event.message = L"\\Device\\Harddisk1\\DR1 | bad block";
    event.data_length = 3;
    event.data_hex = L"0A0BFF";
    return event;
}

class EventDetails : public ::testing::Test {
protected:
    void SetUp() override { text_maps_load(LANGUAGE_ENGLISH); }
};

TEST_F(EventDetails, ARowNamesAnEventOfTheListOnScreen) {
    const std::vector<EventRecord> events(5);
    struct Case {
        const char* what;
        int row;
        std::vector<int64_t> hits;
        int64_t index;
    };
    const Case cases[] = {
        {"the full list", 2, {}, 2},
        {"with search hits, row 2 is the third hit", 2, {0, 3, 4}, 4},
        {"a row past the hits", 3, {0, 3, 4}, -1},
        {"a row past the list", 5, {}, -1},
        {"no row", -1, {}, -1},
        {"a hit past the list", 0, {9}, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(event_details_index(c.row, events, c.hits), c.index) << c.what;
    EXPECT_EQ(event_details_index(0, {}, {}), -1) << "an empty list";
}

TEST_F(EventDetails, AFixtureRecordGivesHeaderDashesStringsAndDecodedData) {
    EventDetailsInput input;
    input.account = L" (NT AUTHORITY\\SYSTEM)";
    input.type_label = L"Error";
    input.disk_decoded = L"Sense: medium error\r\nLBA: 2048";
    input.char_width = 7;
    const EventDetailsText text = event_details_text(fixture_record(), input);
    const std::wstring first =
        L"   Time Generated: 2026-07-01 12:00:00  Event: 7  Record: 4711  Computer: DESK (NT AUTHORITY\\SYSTEM)";
    const std::wstring second = L"     Time Written: 2026-07-01 12:00:01  Type: Error  Source: disk";
    EXPECT_EQ(text.lines,
              (std::vector<std::wstring>{first, second, std::wstring(first.size(), L'-'), L" \\Device\\Harddisk1\\DR1",
                                         L" bad block", L" Sense: medium error", L" LBA: 2048"}));
    EXPECT_EQ(text.extent, static_cast<int>(first.size() + 3) * 7);
}

TEST_F(EventDetails, OnlyWhatTheEventHasIsShown) {
    EventRecord plain = fixture_record();
    plain.string_count = 0;
    plain.message = L"--";
    EventDetailsInput input;
    input.disk_decoded = L"decoded";
    input.char_width = 8;
    EXPECT_EQ(event_details_text(plain, input).lines.size(), 4u) << "no strings, disk data";

    plain.source = L"Service";  // decoded data belongs to disk events only
    EXPECT_EQ(event_details_text(plain, input).lines.size(), 3u);

    // A long string widens the sideways scroll.
    EventRecord wide = fixture_record();
    wide.message = std::wstring(300, L'x');
    wide.string_count = 1;
    EXPECT_EQ(event_details_text(wide, input).extent, (301 + 3) * 8);
}

TEST_F(EventDetails, DiskDataTurnsBackIntoBytes) {
    EXPECT_EQ(event_data_bytes(L"0A0BFF", 3), (std::vector<uint8_t>{0x0A, 0x0B, 0xFF}));
    EXPECT_EQ(event_data_bytes(L"0a0bff", 2), (std::vector<uint8_t>{0x0A, 0x0B}));
    EXPECT_EQ(event_data_bytes(L"0A0B", 9), (std::vector<uint8_t>{0x0A, 0x0B})) << "the text bounds the length";
    EXPECT_TRUE(event_data_bytes(L"0A0", 2).empty()) << "an odd digit count";
    EXPECT_TRUE(event_data_bytes(L"0G", 1).empty()) << "not hexadecimal";
    EXPECT_TRUE(event_data_bytes(L"0A", 0).empty());
}

}  // namespace
