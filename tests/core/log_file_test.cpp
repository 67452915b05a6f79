// Tests of the log buffer and the monthly log file: bytes, flush triggers, month boundaries, failures, threads.
#include "core/log_file.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "core/version.h"
#include "files_test_support.h"

namespace {

Date at(int year, int month, int day, int hour, int minute, int second) {
    DateParts parts;
    parts.year = year;
    parts.month = month;
    parts.day = day;
    parts.hour = hour;
    parts.minute = minute;
    parts.second = second;
    return date_from_parts(parts);
}

std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class LogFile : public FilesTest {
protected:
    std::wstring LogFolder;

    void SetUp() override {
        FilesTest::SetUp();
        LogFolder = folder_text(Temp.Path / "Logs");
        std::filesystem::create_directories(file_path(LogFolder));
        {
            std::lock_guard guard(DataFilesLock);
            DataFiles[DATA_FILE_LOG].folder = LogFolder;
        }
        SharedInts[OPT_LOG_FILE] = 1;
        SharedInts[OPT_LOG_BUFFERING] = 1;
        log_buffer_resize();
    }

    std::string log_bytes(const wchar_t* name) const { return file_bytes(LogFolder + name); }
    static int waiting() { return SharedInts[LOG_LINE_COUNT].load(); }
    static void hour_set(Date date) { SharedQuads[LOG_HOUR] = date_parts(date).hour; }
};

TEST_F(LogFile, NewFileHasTheHeaderThenUtf8LinesWithCrLfAndNoBom) {
    const Date first = at(2024, 5, 7, 9, 3, 4);
    hour_set(first);
    log_line_add_at(L"C: 12% 1000 2000 -5", first);
    log_line_add_at(L"Netzwerk \u00e4nderung", first + 50);
    EXPECT_EQ(waiting(), 2);
    EXPECT_TRUE(log_buffer_flush_at(LOG_FLUSH_NORMAL, first + 60));
    EXPECT_EQ(waiting(), 0);
    const std::string bytes = log_bytes(L"SX202405.log");
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> expected = {
        "'File Created by Sotrix " + utf8_from_wide(version_text()) + " on 2024-05-07 09:04:04",
        "'Drive Key: ddhhmmss drive: free% bytesavail bytesused bytesdiff",
        "'StMon Key: ddhhmmss drive+ volserial bytesavail bytestotal volname",
        "'NeEvt Key: ddhhmmss n# text",
        "07090304 C: 12% 1000 2000 -5",
        "07090354 Netzwerk \xC3\xA4nderung",
    };
    EXPECT_EQ(lines_of(bytes), expected);

    // Appending to a file that has lines writes no second header.
    log_line_add_at(L"third", first + 70);
    EXPECT_TRUE(log_buffer_flush_at(LOG_FLUSH_NORMAL, first + 80));
    const std::vector<std::string> after = lines_of(log_bytes(L"SX202405.log"));
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after[6], "07090414 third");
}

TEST_F(LogFile, ANewHourFlushesTheLinesBeforeItButTheSameHourADayLaterDoesNot) {
    const Date start = at(2024, 5, 7, 10, 59, 59);
    hour_set(start);
    log_line_add_at(L"a", start);
    log_line_add_at(L"b", start + 24 * 3600);  // same hour of the next day: waits
    EXPECT_EQ(waiting(), 2);
    EXPECT_TRUE(log_bytes(L"SX202405.log").empty());
    log_line_add_at(L"c", start + 24 * 3600 + 1);  // 11:00:00
    EXPECT_EQ(waiting(), 1);
    const std::vector<std::string> lines = lines_of(log_bytes(L"SX202405.log"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "07105959 a");
    EXPECT_EQ(lines[5], "08105959 b");
    EXPECT_EQ(SharedQuads[LOG_HOUR].load(), 11);
}

TEST_F(LogFile, EveryLineLandsInItsOwnMonthsFile) {
    const Date may = at(2024, 5, 31, 23, 58, 0);
    hour_set(may);
    log_line_add_at(L"last of May", may);
    log_line_add_at(L"first of June", may + 180);  // 2024-06-01 00:01
    EXPECT_EQ(lines_of(log_bytes(L"SX202405.log")).back(), "31235800 last of May");
    {
        std::lock_guard guard(DataFilesLock);
        EXPECT_EQ(DataFiles[DATA_FILE_LOG].file_name, L"SX202406.log");
    }
    // A month change within the same hour of the day (a month later, at 00:xx again) also flushes first.
    log_line_add_at(L"first of July", at(2024, 7, 1, 0, 5, 0));
    EXPECT_EQ(lines_of(log_bytes(L"SX202406.log")).back(), "01000100 first of June");
    EXPECT_EQ(waiting(), 1);

    // Lines of two months wait together when the folder was missing at the change; each still goes to its month.
    std::filesystem::remove_all(file_path(LogFolder));
    log_line_add_at(L"first of August", at(2024, 8, 1, 0, 9, 0));
    EXPECT_EQ(waiting(), 2);
    std::filesystem::create_directories(file_path(LogFolder));
    EXPECT_TRUE(log_buffer_flush_at(LOG_FLUSH_NORMAL, at(2024, 8, 1, 0, 10, 0)));
    EXPECT_EQ(lines_of(log_bytes(L"SX202407.log")).back(), "01000500 first of July");
    EXPECT_EQ(lines_of(log_bytes(L"SX202408.log")).back(), "01000900 first of August");
    EXPECT_EQ(lines_of(log_bytes(L"SX202407.log")).size(), 5u);
}

TEST_F(LogFile, LinesThatCannotBeWrittenStayForTheNextFlushAndAreWrittenOnce) {
    const Date start = at(2024, 3, 2, 8, 0, 0);
    hour_set(start);
    std::filesystem::remove_all(file_path(LogFolder));
    for (int i = 0; i < 5; ++i) log_line_add_at(L"line " + std::to_wstring(i), start + i);
    EXPECT_FALSE(log_buffer_flush_at(LOG_FLUSH_NORMAL, start + 10));
    EXPECT_EQ(waiting(), 5);
    std::filesystem::create_directories(file_path(LogFolder));
    EXPECT_TRUE(log_buffer_flush_at(LOG_FLUSH_NORMAL, start + 20));
    EXPECT_EQ(waiting(), 0);
    const std::vector<std::string> lines = lines_of(log_bytes(L"SX202403.log"));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[4], "02080000 line 0");
    EXPECT_EQ(lines[8], "02080004 line 4");
}

TEST_F(LogFile, FullBufferFlushesBeforeTheNextLine) {
    SharedInts[OPT_LOG_BUFFERING] = 0;
    log_buffer_resize();
    EXPECT_EQ(SharedInts[LOG_CAPACITY].load(), 100);
    EXPECT_EQ(log_buffer_status_text(), L"0 / 100");
    const Date start = at(2024, 1, 9, 14, 0, 0);
    hour_set(start);
    for (int i = 0; i < 101; ++i) log_line_add_at(L"x" + std::to_wstring(i), start);
    EXPECT_EQ(waiting(), 1);
    EXPECT_EQ(lines_of(log_bytes(L"SX202401.log")).size(), 104u);
    EXPECT_EQ(LogBuffer[1], L"09140000 x100");
}

TEST_F(LogFile, SwitchingExtendedBufferingOffFlushesOnlyAboveNinetyNineLines) {
    const Date now = date_now();
    hour_set(now);
    for (const int count : {80, 150}) {
        SharedInts[OPT_LOG_BUFFERING] = 1;
        log_buffer_resize();
        EXPECT_EQ(SharedInts[LOG_CAPACITY].load(), 9999);
        for (int i = 0; i < count; ++i) log_line_add_at(L"l", now);
        SharedInts[OPT_LOG_BUFFERING] = 0;
        log_buffer_resize();
        EXPECT_EQ(waiting(), count == 80 ? 80 : 0) << count;
        EXPECT_EQ(SharedInts[LOG_CAPACITY].load(), 100);
        log_buffer_flush_at(LOG_FLUSH_NORMAL, now);
    }
}

TEST_F(LogFile, FinalFlushAddsTheClosingLineOnlyWhenLinesWaitAndEndsLogging) {
    const Date start = at(2024, 11, 30, 17, 20, 0);
    hour_set(start);
    {
        std::lock_guard guard(CellDrawMutex);
        CompactCells[CELL_UPTIME].drawn_text = L"  2d 03:04:05 ";
    }
    SharedInts[EXIT_LOOP_FLAG] = 1;
    log_line_add_at(L"stopped", start);
    EXPECT_TRUE(log_buffer_flush_at(LOG_FLUSH_FINAL, start + 9));
    const std::vector<std::string> lines = lines_of(log_bytes(L"SX202411.log"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "30172000 stopped");
    EXPECT_EQ(lines[5],
              "30172009 Sotrix " + utf8_from_wide(version_text()) + " closed. Uptime: 2d 03:04:05 [Windows Shutdown]");
    // Nothing is logged after the last flush.
    log_line_add_at(L"late", start + 10);
    EXPECT_EQ(waiting(), 0);

    log_buffer_reset();
    std::filesystem::remove(file_path(LogFolder + L"SX202411.log"));
    EXPECT_TRUE(log_buffer_flush_at(LOG_FLUSH_FINAL, start));
    EXPECT_FALSE(file_exists(file_path(LogFolder + L"SX202411.log")));
}

TEST_F(LogFile, NothingIsBufferedWhileTheLogFileIsOff) {
    SharedInts[OPT_LOG_FILE] = 0;
    log_line_add(L"ignored");
    EXPECT_EQ(waiting(), 0);
}

// Four threads write lines while flushes run: every line arrives once and whole.
TEST_F(LogFile, ConcurrentLinesAndFlushesLoseNothing) {
    SharedInts[OPT_LOG_BUFFERING] = 0;
    log_buffer_resize();
    const Date now = at(2024, 2, 2, 2, 2, 2);
    hour_set(now);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, now] {
            for (int i = 0; i < 400; ++i) {
                log_line_add_at(L"thread " + std::to_wstring(t) + L" line " + std::to_wstring(i), now);
                if (i % 97 == 0) log_buffer_flush_at(LOG_FLUSH_NORMAL, now);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_TRUE(log_buffer_flush_at(LOG_FLUSH_NORMAL, now));
    const std::vector<std::string> lines = lines_of(log_bytes(L"SX202402.log"));
    ASSERT_EQ(lines.size(), 4u + 1600u);
    std::set<std::string> unique(lines.begin() + 4, lines.end());
    EXPECT_EQ(unique.size(), 1600u);
    EXPECT_TRUE(unique.count("02020202 thread 3 line 399"));
}

TEST(LogFileName, IsTheMonthOfTheDate) {
    DateParts parts;
    parts.year = 2031;
    parts.month = 12;
    parts.day = 31;
    EXPECT_EQ(log_file_name(date_from_parts(parts)), L"SX203112.log");
}

}  // namespace
