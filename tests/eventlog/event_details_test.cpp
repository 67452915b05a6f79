// The details of one event: which event a row of the list on screen names, the times shown across a
// daylight-saving change, the lines of a fixture record and the sideways width, and the disk data bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/language.h"
#include "eventlog/event_details.h"

namespace {

// A zone at UTC+1 in winter and UTC+2 from 2026-03-29 01:00 UTC to 2026-10-25 01:00 UTC.
Date central_european(Date utc) {
    const Date summer_from = date_from_parts({2026, 3, 29, 1, 0, 0});
    const Date summer_to = date_from_parts({2026, 10, 25, 1, 0, 0});
    return utc + (utc >= summer_from && utc < summer_to ? 7200 : 3600);
}

EventRecord fixture_record() {
    EventRecord event;
    event.record_number = 4711;
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

// The reader stores times with the offset in force when it started (here winter, UTC - local = -3600); an
// event of the summer is shown at its summer clock time, one of the winter at its winter time.
TEST_F(EventDetails, TimesFollowTheDaylightSavingRuleOfTheirOwnDate) {
    const int64_t winter_offset = -3600;
    struct Case {
        DateParts utc;
        DateParts shown;
    };
    const Case cases[] = {
        {{2026, 7, 1, 10, 0, 0}, {2026, 7, 1, 12, 0, 0}},
        {{2026, 1, 15, 10, 0, 0}, {2026, 1, 15, 11, 0, 0}},
        {{2026, 3, 29, 0, 59, 59}, {2026, 3, 29, 1, 59, 59}},
        {{2026, 3, 29, 1, 0, 0}, {2026, 3, 29, 3, 0, 0}},
    };
    for (const Case& c : cases) {
        const Date stored = date_from_parts(c.utc) - winter_offset;
        EXPECT_EQ(date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss", event_time_shown(stored, winter_offset, central_european)),
                  date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss", date_from_parts(c.shown)));
    }
    EXPECT_EQ(event_time_shown(1000, winter_offset, nullptr), 1000) << "without a zone rule the stored time";
}

TEST_F(EventDetails, AFixtureRecordGivesHeaderDashesStringsAndDecodedData) {
    EventDetailsInput input;
    input.account = L" (NT AUTHORITY\\SYSTEM)";
    input.generated = date_from_parts({2026, 7, 1, 12, 0, 0});
    input.written = date_from_parts({2026, 7, 1, 12, 0, 1});
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
