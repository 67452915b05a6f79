// The disk-error watcher's rounds on a fake System log: new records by number, full, cleared and wrapped logs,
// the lines of an alert, an unreadable disk number, and the end of its loop on quit.
#include "eventlog/disk_error_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "eventlog/fake_event_log.h"
#include "runtime/threads.h"
#include "runtime/worker_timer.h"

namespace {

constexpr int64_t NOW = 1'800'000'000;
std::vector<std::wstring> lines;

void line_capture(std::wstring_view text, Date) { lines.emplace_back(text); }
int64_t fixed_now() { return NOW; }
Date same_time(int64_t utc) { return utc; }
const DiskErrorHooks test_hooks{.line_add = line_capture, .utc_now = fixed_now, .local_from_utc = same_time};

std::vector<uint8_t> read_error_data() {
    std::vector<uint8_t> data(0x20, 0);
    data[0] = 3;
    data[0x0C] = 0x33, data[0x0D] = 0x00, data[0x0E] = 0x04, data[0x0F] = 0x80;
    return data;
}

FakeRecord disk_event(uint32_t number, int disk = 1, int64_t age = 60) {
    return {.number = number,
            .time_generated = static_cast<uint32_t>(NOW - age),
            .event_id = 153,
            .strings = {u"\\Device\\Harddisk" + std::u16string(1, static_cast<char16_t>(u'0' + disk)) + u"\\DR1"},
            .data = read_error_data()};
}

// A record of another source, written two minutes ago.
FakeRecord other_event(uint32_t number) {
    return {.number = number, .time_generated = static_cast<uint32_t>(NOW - 120), .source = u"Other"};
}

// One record as the event-log service hands it out, laid out here byte by byte from the published
// EVENTLOGRECORD layout and apart from the fake log's own builder: the 56-byte header (Length, the signature
// "LfLe", RecordNumber, TimeGenerated, TimeWritten, EventID, EventType and NumStrings of 2 bytes,
// EventCategory and ReservedFlags of 2 bytes, ClosingRecordNumber, StringOffset, UserSidLength,
// UserSidOffset, DataLength, DataOffset), the source and computer names (UTF-16, each ending in a zero
// character), the SID on a 4-byte boundary, the strings, the data, zero bytes up to a 4-byte boundary, and
// the Length once more.
struct CraftedRecord {
    uint32_t number;
    uint32_t time_utc;
    std::u16string message;
    std::vector<uint8_t> data;
};
std::vector<uint8_t> crafted_bytes(const CraftedRecord& r) {
    const std::u16string source = u"Disk";  // compared without case
    const std::u16string computer = u"DESK";
    const uint32_t names_end = 56 + 2 * static_cast<uint32_t>(source.size() + 1 + computer.size() + 1);
    const uint32_t sid_offset = (names_end + 3) / 4 * 4;
    const uint32_t string_offset = sid_offset;  // no SID
    const uint32_t data_offset = string_offset + 2 * static_cast<uint32_t>(r.message.size() + 1);
    const uint32_t data_end = data_offset + static_cast<uint32_t>(r.data.size());
    const uint32_t length = (data_end + 3) / 4 * 4 + 4;

    std::vector<uint8_t> b;
    auto u8 = [&](unsigned v) { b.push_back(static_cast<uint8_t>(v)); };
    auto u16 = [&](unsigned v) { u8(v & 0xFF), u8(v >> 8 & 0xFF); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    auto text = [&](const std::u16string& t) {
        for (char16_t c : t) u16(c);
        u16(0);
    };
    u32(length);
    u8('L'), u8('f'), u8('L'), u8('e');
    u32(r.number);
    u32(r.time_utc);
    u32(r.time_utc);
    u32(0xC0040099);  // severity and facility bits above the 16-bit event id 153
    u16(0x0001);      // EVENTLOG_ERROR_TYPE
    u16(1);           // one string
    u16(0), u16(0);   // category, flags
    u32(0);           // closing record number
    u32(string_offset);
    u32(0), u32(sid_offset);  // no SID
    u32(static_cast<uint32_t>(r.data.size())), u32(data_offset);
    text(source);
    text(computer);
    while (b.size() < sid_offset) u8(0);
    text(r.message);
    for (uint8_t byte : r.data) u8(byte);
    while (b.size() < length - 4) u8(0);
    u32(length);
    return b;
}
void crafted_add(const CraftedRecord& r) {
    fake_event_log().records.push_back(crafted_bytes(r));
    fake_event_log().numbers.push_back(r.number);
}

class DiskErrorWatch : public ::testing::Test {
protected:
    void SetUp() override {
        text_maps_load(LANGUAGE_ENGLISH);
        shared_state_init(SharedStateFacts{});
        lines.clear();
        fake_event_log() = FakeEventLog{};
        for (auto& drive : DriveTable) drive = DriveEntry{};
        DriveEntry& e = DriveTable[5];
        e.drive_type = 3;
        e.device_number = 1;
        e.found_date = NOW - 86400;
        e.letter = L"E";
        e.separator = L":";
        e.drive_name = L"E:";
    }
    // Runs one scan now (the countdown skipped) with an uptime of a day.
    void scan() {
        state.countdown = 0;
        disk_error_watch_round(state, fake_event_log_api(), test_hooks, 86400);
    }
    int alerts() const {
        int count = 0;
        for (const auto& line : lines) count += line.rfind(L"System Event Record: ", 0) == 0;
        return count;
    }
    DiskErrorWatchState state;
};

TEST_F(DiskErrorWatch, AnAlertNamesTheDriveOperationAndStatus) {
    fake_event_log().add(other_event(1));
    fake_event_log().add(disk_event(2));
    scan();
    const std::vector<std::wstring> expected = {L"Paging Error/Timeout", L"E: Read Error Detected.",
                                                L"\\Device\\Harddisk1\\DR1", L"System Event Record: 2", L"--"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(DriveTable[5].error_count, 1);
    EXPECT_EQ(DriveTable[5].error_until, NOW - 60 + DISK_ERROR_LOOKBACK_S);
    EXPECT_EQ(SharedInts[DRIVE_RESCAN_REQUEST].load(), 1);
    EXPECT_EQ(state.countdown, DISK_ERROR_SCAN_ROUNDS);
}

TEST_F(DiskErrorWatch, LaterScansFindNewRecordsByNumberAlsoInAFullLog) {
    for (uint32_t n = 1; n <= 5; ++n) fake_event_log().add(other_event(n));
    scan();
    EXPECT_EQ(alerts(), 0);
    // The log is full: each new record pushes the oldest out, so the count stays 5.
    auto& log = fake_event_log();
    log.records.erase(log.records.begin());
    log.numbers.erase(log.numbers.begin());
    log.add(disk_event(6));
    scan();
    EXPECT_EQ(alerts(), 1) << "a log whose count does not grow still has new records";
    scan();
    EXPECT_EQ(alerts(), 1) << "a record is reported once";
    log.add(disk_event(7));
    scan();
    EXPECT_EQ(alerts(), 2);
    EXPECT_EQ(DriveTable[5].error_count, 2);
}

TEST_F(DiskErrorWatch, AClearedLogIsReadAgainFromItsStart) {
    for (uint32_t n = 100; n <= 120; ++n) fake_event_log().add(other_event(n));
    scan();
    struct Case {
        const char* name;
        bool empty_scan_between;  // a scan sees the log empty before the new records come
        uint32_t new_records;
    };
    for (const Case& c : {Case{"cleared, few records", false, 3}, Case{"seen empty", true, 2},
                          Case{"cleared, more records than before", false, 30}}) {
        const int before = alerts();
        auto& log = fake_event_log();
        log.clear();
        if (c.empty_scan_between) scan();
        for (uint32_t n = 1; n < c.new_records; ++n) log.add(other_event(n));
        log.add(disk_event(c.new_records));
        scan();
        EXPECT_EQ(alerts(), before + 1) << c.name;
    }
}

TEST_F(DiskErrorWatch, WrappedRecordNumbersStayInOrder) {
    auto& log = fake_event_log();
    log.add(disk_event(0xFFFFFFFE));
    log.add(other_event(0xFFFFFFFF));
    scan();
    EXPECT_EQ(alerts(), 1);
    log.add(other_event(0));
    log.add(disk_event(1));
    scan();
    EXPECT_EQ(alerts(), 2) << "records after the wrap are new, those before it are not read again";
    EXPECT_EQ(DriveTable[5].error_count, 2);
}

TEST_F(DiskErrorWatch, EventsThatBlameNoDrive) {
    struct Case {
        const char* name;
        std::u16string message;
        int64_t age;
    };
    const Case cases[] = {
        // Oldest first: the scan reads newest first and stops at the first event older than the boot.
        {"older than the boot", u"\\Device\\Harddisk1\\DR1", 86400 + 10},
        {"before the drive was found", u"\\Device\\Harddisk1\\DR1", 86400 * 3 / 4},
        {"no disk number", u"\\Device\\Harddisk\\DR1", 60},
        {"no device path", u"Harddisk1 failed", 60},
        {"another disk", u"\\Device\\Harddisk2\\DR2", 60},
    };
    DriveTable[6] = DriveTable[5];  // a drive on disk 0, which an unreadable number must not blame
    DriveTable[6].device_number = 0;
    DriveTable[6].letter = L"F";
    DriveTable[6].found_date = 0;
    DriveTable[5].found_date = NOW - 86400 / 2;
    uint32_t number = 1;
    for (const Case& c : cases) {
        FakeRecord made = disk_event(number++, 1, c.age);
        made.strings = {c.message};
        fake_event_log().add(made);
    }
    scan();
    EXPECT_EQ(lines, std::vector<std::wstring>{});
    EXPECT_EQ(DriveTable[5].error_count, 0);
    EXPECT_EQ(DriveTable[6].error_count, 0);
}

TEST_F(DiskErrorWatch, FiveAlertsPerDriveThenOnlyTheMarkMoves) {
    for (uint32_t n = 1; n <= 6; ++n) fake_event_log().add(disk_event(n, 1, 600 - n));
    scan();
    EXPECT_EQ(alerts(), 5);
    EXPECT_EQ(DriveTable[5].error_count, 5);
    EXPECT_EQ(DriveTable[5].error_until, NOW - 594 + DISK_ERROR_LOOKBACK_S);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L"Ignoring Future Errors: E:"), 1);
}

TEST_F(DiskErrorWatch, ALogThatCannotBeOpenedIsTriedNextRound) {
    fake_event_log().open_fails = true;
    scan();
    EXPECT_EQ(state.countdown, 0);
    fake_event_log().open_fails = false;
    fake_event_log().add(disk_event(1));
    disk_error_watch_round(state, fake_event_log_api(), test_hooks, 86400);
    EXPECT_EQ(alerts(), 1);
}

TEST_F(DiskErrorWatch, ARecordLargerThanTheBufferIsReadWithABiggerOne) {
    FakeRecord big = disk_event(2);
    big.strings.push_back(std::u16string(40000, u'x'));  // 80 000 bytes: more than one 64 KB block
    fake_event_log().add(disk_event(1));
    fake_event_log().add(big);
    fake_event_log().add(disk_event(3));
    scan();
    EXPECT_EQ(alerts(), 3) << "the records behind a big one are not taken as the end of the log";
    EXPECT_GT(fake_event_log().largest_buffer, 65536u);
}

TEST_F(DiskErrorWatch, TheLoopEndsPromptlyOnQuit) {
    struct Run {
        const char* name;
        int64_t uptime;
    };
    for (const Run& run : {Run{"waiting for the uptime", 0}, Run{"in its rounds", 86400}}) {
        shared_state_init(SharedStateFacts{});
        SharedQuads[UPTIME_S] = run.uptime;
        fake_event_log() = FakeEventLog{};
        fake_event_log_opens() = 0;
        static std::atomic<bool> ended;
        ended = false;
        const int64_t thread = thread_create(
            [](int64_t) {
                disk_error_watch_run(fake_event_log_api(), test_hooks);
                ended = true;
            },
            0);
        ASSERT_NE(thread, 0);
        // Wait until the watcher is in its loop: in its rounds it opens the log at the first scan (2 s).
        if (run.uptime > 0) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (fake_event_log_opens() == 0 && std::chrono::steady_clock::now() < deadline) quit_event_wait(10);
            ASSERT_GT(fake_event_log_opens().load(), 0) << run.name << ": the first scan did not come";
        }
        // The loop runs until the quit: ending at all within the wait is ending on it.
        quit_flag_raise(1);
        ASSERT_TRUE(thread_wait(thread, 10000)) << run.name << ": the watcher did not end on quit";
        EXPECT_TRUE(ended.load());
        quit_flag_clear();
    }
}

// The watcher's view of the System log from scan to scan, as sequences: a full log, cleared logs that did and
// did not wrap before, a clear seen empty, and numbers that wrap. Each scan lists the log's records, oldest
// first (a disk event or another), and the alerts written so far.
TEST_F(DiskErrorWatch, EveryScanFindsTheNewDiskEventsOfFullClearedAndWrappedLogs) {
    struct Scan {
        std::vector<std::pair<uint32_t, bool>> log;  // record number, a disk event
        int alerts;
    };
    struct Case {
        const char* name;
        std::vector<Scan> scans;
    };
    auto others = [](uint32_t first, uint32_t last) {
        std::vector<std::pair<uint32_t, bool>> log;
        for (uint32_t n = first; n <= last; ++n) log.emplace_back(n, false);
        return log;
    };
    auto with_disk = [](std::vector<std::pair<uint32_t, bool>> log, uint32_t number) {
        log.emplace_back(number, true);
        return log;
    };
    const Case cases[] = {
        {"full: the oldest overwritten at the same count",
         {{others(1, 5), 0}, {with_disk(others(2, 5), 6), 1}, {with_disk(others(2, 5), 6), 1}}},
        {"cleared, numbers below the old oldest", {{others(100, 120), 0}, {with_disk(others(1, 2), 3), 1}}},
        {"cleared, a log that never wrapped", {{others(1, 20), 0}, {with_disk(others(1, 2), 3), 1}}},
        {"cleared, a log that never wrapped, seen empty", {{others(1, 20), 0}, {{}, 0}, {with_disk({}, 1), 1}}},
        {"numbers wrap",
         {{with_disk({}, 0xFFFFFFFE), 1}, {with_disk(with_disk({{0xFFFFFFFE, true}, {0xFFFFFFFF, false}}, 0), 1), 3}}},
    };
    for (const Case& c : cases) {
        SetUp();
        state = DiskErrorWatchState{};
        int scan_number = 0;
        for (const Scan& step : c.scans) {
            auto& log = fake_event_log();
            log.clear();
            for (const auto& [number, disk] : step.log) log.add(disk ? disk_event(number) : other_event(number));
            scan();
            EXPECT_EQ(alerts(), step.alerts) << c.name << ", scan " << scan_number;
            ++scan_number;
        }
    }
}

// The lines of an alert, from records laid out byte by byte: the maker and volume lines, the alias letters,
// the "Unknown Error" of an event without data, and which drive of a disk with two letters is named.
TEST_F(DiskErrorWatch, AnAlertNamesTheFirstDriveOfTheDiskWithItsLettersMakerAndVolume) {
    const std::wstring message = L"\\Device\\Harddisk1\\DR1";
    struct Case {
        const char* name;
        std::function<void()> drives;  // changes to drive E: (index 5), fixed on disk 1
        bool data;
        std::vector<std::wstring> lines;  // in the order written: on screen from the last up
        int e_errors, f_errors;
    };
    const Case cases[] = {
        {"maker and volume",
         [] {
             DriveTable[5].device_text = L"WDC WD10EZEX";
             DriveTable[5].volume_name = L"Data";
         },
         true,
         {L"Mfg: WDC WD10EZEX", L"Vol: Data", L"Paging Error/Timeout", L"E: Read Error Detected.", message,
          L"System Event Record: 9", L"--"},
         1,
         0},
        {"a volume name of spaces only",
         [] { DriveTable[5].volume_name = L"   "; },
         true,
         {L"Paging Error/Timeout", L"E: Read Error Detected.", message, L"System Event Record: 9", L"--"},
         1,
         0},
        {"alias letters",
         [] { DriveTable[5].alias_letters = L"GH"; },
         true,
         {L"Paging Error/Timeout", L"EGH: Read Error Detected.", message, L"System Event Record: 9", L"--"},
         1,
         0},
        {"no data", [] {}, false, {L"E: Unknown Error", message, L"System Event Record: 9", L"--"}, 1, 0},
        {"two letters on the disk: only the first is named, both are counted",
         [] {
             DriveTable[6] = DriveTable[5];
             DriveTable[6].letter = L"F";
             DriveTable[6].drive_name = L"F:";
         },
         true,
         {L"Paging Error/Timeout", L"E: Read Error Detected.", message, L"System Event Record: 9", L"--"},
         1,
         1},
        {"the first drive below five errors is named",
         [] {
             DriveTable[5].error_count = 5;
             DriveTable[6] = DriveTable[5];
             DriveTable[6].error_count = 0;
             DriveTable[6].letter = L"F";
             DriveTable[6].drive_name = L"F:";
             DriveTable[6].volume_name = L"Backup";
         },
         true,
         {L"Vol: Backup", L"Paging Error/Timeout", L"F: Read Error Detected.", message, L"System Event Record: 9",
          L"--"},
         5,
         1},
    };
    for (const Case& c : cases) {
        SetUp();
        state = DiskErrorWatchState{};
        c.drives();
        crafted_add({.number = 9,
                     .time_utc = static_cast<uint32_t>(NOW - 60),
                     .message = u"\\Device\\Harddisk1\\DR1",
                     .data = c.data ? read_error_data() : std::vector<uint8_t>{}});
        scan();
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(DriveTable[5].error_count, c.e_errors) << c.name;
        EXPECT_EQ(DriveTable[6].error_count, c.f_errors) << c.name;
        if (c.f_errors > 0) {
            EXPECT_EQ(DriveTable[6].error_until, NOW - 60 + DISK_ERROR_LOOKBACK_S) << c.name;
        }
    }
}

}  // namespace
