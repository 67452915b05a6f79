// Tests of the settings file: its exact bytes, reading good and bad files, saving, import and export.
#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "core/settings_code.h"
#include "files_test_support.h"

namespace {

const std::string BOM = "\xEF\xBB\xBF";
const std::wstring CODE =
    L"01100111100100000001100000"
    L"5120100000"
    L"411" +
    std::wstring(11, L'0');
const std::wstring DEFAULT_CODE =
    L"11100111100000000001100000"
    L"8000100000000"
    L"00000000000";

TEST(SettingsFileBytes, AllKeysAreWrittenInTheirOrderWithBomAndAnEmptyFirstLine) {
    SettingsFileTexts texts;
    texts.Config = CODE;
    texts.Digits = L"v120w80x1500y-12";
    texts.Logpath = L"0";
    texts.ColorBar = L"FF$$FF00";
    texts.ColorCPU = L"$$C0";
    texts.ColorGra = L"FF";
    texts.FilterDrv = L"1234-ABCD";
    texts.FilterNic = L"00:11:22:33:44:55";
    texts.EventLog = L"Sicherheit \u00e4";
    const std::string expected = BOM +
                                 "\r\n[Sotrix]\r\n"
                                 "Config = 01100111100100000001100000512010000041100000000000\r\n"
                                 "Digits = v120w80x1500y-12\r\n"
                                 "Logpath = 0\r\n"
                                 "ColorBar = FF$$FF00\r\n"
                                 "ColorCPU = $$C0\r\n"
                                 "ColorGra = FF\r\n"
                                 "FilterDrv = 1234-ABCD\r\n"
                                 "FilterNic = 00:11:22:33:44:55\r\n"
                                 "EventLog = Sicherheit \xC3\xA4\r\n";
    EXPECT_EQ(settings_serialise(texts), expected);
}

TEST(SettingsFileBytes, EmptyTextsAndNoFilterValuesAreLeftOut) {
    SettingsFileTexts texts;
    texts.Config = DEFAULT_CODE;
    texts.FilterDrv = L"0000-0000";
    texts.FilterNic = L"00:00:00:00:00:00";
    texts.EventLog = L"  \r\n ";
    EXPECT_EQ(settings_serialise(texts),
              BOM + "\r\n[Sotrix]\r\nConfig = 11100111100000000001100000800010000000000000000000\r\n");
}

TEST(SettingsFileBytes, WrittenFileReadsBackTheSame) {
    SettingsFileTexts texts;
    texts.Config = CODE;
    texts.Digits = L"x-1800y40";
    texts.Logpath = L"D:\\Logs\\\u00c4rger\\";
    texts.EventLog = L"Application";
    SettingsFileTexts back;
    std::wstring error;
    ASSERT_TRUE(settings_parse(settings_serialise(texts), back, error)) << error;
    EXPECT_EQ(back.Config, texts.Config);
    EXPECT_EQ(back.Digits, texts.Digits);
    EXPECT_EQ(back.Logpath, texts.Logpath);
    EXPECT_EQ(back.EventLog, texts.EventLog);
    EXPECT_EQ(back.ColorBar, L"");
}

// A UTF-16 file with its byte-order mark.
std::string utf16_file(std::u16string_view text, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

// Every file a person or another editor may leave is read as far as it goes; what is left out is listed.
TEST(SettingsFileBytes, ReadingKeepsEveryKeyItCan) {
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring config;
        std::wstring event_log;
        std::vector<size_t> left_out;
        bool keys_without_group = false;
        bool group_missing = false;
    };
    const std::string config = "Config = 11100111100000000001100000800010000000000000000000\r\n";
    const std::wstring code = DEFAULT_CODE;
    const std::u16string utf16_text =
        u"\r\n[Sotrix]\r\nConfig = 11100111100000000001100000800010000000000000000000\r\n"
        u"EventLog = Gr\u00f6\u00dfe \u20ac\r\n";
    const Case cases[] = {
        {"empty", "", L"", L"", {}},
        {"blank lines only", "\r\n \r\n\t\n", L"", L"", {}},
        {"comments only", "; first\r\n ; second\r\n", L"", L"", {}},
        {"BOM only", BOM, L"", L"", {}},
        {"group line only", "[Sotrix]\r\n", L"", L"", {}},
        {"with BOM", BOM + "\r\n[Sotrix]\r\n" + config, code, L"", {}},
        {"without BOM, LF only", "[Sotrix]\n" + config.substr(0, config.size() - 2) + "\n", code, L"", {}},
        {"CR only", "[Sotrix]\r" + config.substr(0, config.size() - 2) + "\rEventLog = System\r", code, L"System", {}},
        {"no spaces, mixed case",
         "[sOtRiX]\r\nconfig=" + std::string(code.begin(), code.end()) + "\r\nEVENTLOG=System",
         code,
         L"System",
         {}},
        {"UTF-8 without BOM", "[Sotrix]\r\nEventLog = Ereignis\xC3\xA4\r\n", L"", L"Ereignis\u00e4", {}},
        {"ANSI without BOM",
         "[Sotrix]\r\nEventLog = C:\\Daten\\Gr\xFC\xDF"
         "e \x80\r\n",
         L"",
         L"C:\\Daten\\Gr\u00fc\u00dfe \u20ac",
         {}},
        {"UTF-16 LE with BOM", utf16_file(utf16_text, false), code, L"Gr\u00f6\u00dfe \u20ac", {}},
        {"UTF-16 BE with BOM", utf16_file(utf16_text, true), code, L"Gr\u00f6\u00dfe \u20ac", {}},
        {"UTF-16 cut in a unit", utf16_file(utf16_text, false) + "x", code, L"Gr\u00f6\u00dfe \u20ac", {}},
        {"comments and other groups",
         "; note\r\n[Other]\r\nConfig = x\r\n[Sotrix]\r\n;Config = y\r\n" + config,
         code,
         L"",
         {}},
        {"first of two equal keys", "[Sotrix]\r\nEventLog = A\r\nEventLog = B\r\n", L"", L"A", {}},
        {"comment after the group line", "[Sotrix] ; mine\r\n" + config, code, L"", {}},
        // Hand edits: one bad line costs only itself.
        {"typo line among good keys",
         "[Sotrix]\r\n" + config + "EventLog System\r\nEventLog = Security\r\n",
         code,
         L"Security",
         {3}},
        {"unknown key", "[Sotrix]\r\nConfg = 1\r\n" + config, code, L"", {2}},
        {"key without a name", "[Sotrix]\r\n= 1\r\n" + config, code, L"", {2}},
        {"text after the group's ]", "[Sotrix] x\r\n" + config, code, L"", {1}},
        {"group line without ]", "[Sotrix\r\n" + config, code, L"", {1}, true},
        {"key above the group", "EventLog = Early\r\n[Sotrix]\r\n" + config, code, L"", {1}},
        {"keys without any group", config + "EventLog = System\r\n", code, L"System", {}, true},
        {"no Sotrix group", "[Other]\r\n" + config, L"", L"", {}, false, true},
        {"control characters",
         "[Sotrix]\r\nEventLog = A\x01"
         "B\r\n" +
             config,
         code,
         L"",
         {2}},
        {"BOM and a line of invalid UTF-8", BOM + "[Sotrix]\r\nEventLog = \xE4\r\n" + config, code, L"", {2}},
        {"UTF-16 with a NUL in a line",
         utf16_file(std::u16string(u"[Sotrix]\r\nEventLog = A\0B\r\nConfig = 1\r\n", 38), false),
         L"1",
         L"",
         {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsFileTexts texts;
        texts.Digits = L"unchanged";
        std::wstring error;
        SettingsFileFaults faults;
        faults.LeftOut = {99};
        ASSERT_TRUE(settings_parse(c.bytes, texts, error, &faults)) << std::string(error.begin(), error.end());
        EXPECT_EQ(texts.Config, c.config);
        EXPECT_EQ(texts.EventLog, c.event_log);
        EXPECT_EQ(texts.Digits, L"");
        EXPECT_EQ(faults.LeftOut, c.left_out);
        EXPECT_EQ(faults.KeysWithoutGroup, c.keys_without_group);
        EXPECT_EQ(faults.GroupMissing, c.group_missing);
    }
}

// Only bytes in which nothing reads as settings are refused.
TEST(SettingsFileBytes, BytesWithoutAnySettingsLineAreRefused) {
    const std::pair<const char*, std::string> cases[] = {
        {"binary garbage", std::string("\x00\x01\xFF\xFE garbage\x00", 12)},
        {"NUL in an otherwise good file", "[Sotrix]\r\n" + std::string("Config = 1\0", 11)},
        {"garbage without NUL", "\xC7\x91\xFF\xAB\x13\x7F\xE2\x82\r\n\xFF\xFE"},
        {"plain text", "just some text\r\n"},
        {"truncated in the group line", BOM + "\r\n[Sotr"},
        {"UTF-16 mark and binary data", std::string("\xFF\xFE\x01\x00\x00\x00\xAB\xCD", 8)},
        {"UTF-16 text without a mark", std::string("[\0S\0o\0t\0r\0i\0x\0]\0", 16)},
        {"larger than the limit", "[Sotrix]\r\n" + std::string(SETTINGS_FILE_MAX_BYTES, ' ')},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        SettingsFileTexts texts;
        texts.Digits = L"unchanged";
        SettingsFileFaults faults;
        faults.GroupMissing = true;
        std::wstring error;
        EXPECT_FALSE(settings_parse(bytes, texts, error, &faults));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(texts.Digits, L"unchanged");
        EXPECT_TRUE(faults.GroupMissing);
    }
}

TEST(SettingsFileBytes, EveryTruncationOfAGoodFileIsReadOrRefusedWithoutHarm) {
    SettingsFileTexts texts;
    texts.Config = CODE;
    texts.Digits = L"v1w2x3y4";
    texts.Logpath = L"0";
    texts.EventLog = L"System";
    const std::string bytes = settings_serialise(texts);
    for (size_t length = 0; length <= bytes.size(); ++length) {
        SettingsFileTexts read;
        std::wstring error;
        if (settings_parse(bytes.substr(0, length), read, error)) {
            // What was read is a prefix of what was written.
            EXPECT_TRUE(texts.Config.starts_with(read.Config) || read.Config.empty()) << length;
        }
    }
}

// ---- Loading and saving in the program ----

class SettingsFile : public FilesTest {
protected:
    static inline std::map<int, int32_t> GraphColors;

    std::wstring settings_path() const { return DataFolder + L"Sotrix.ini"; }

    // Graphs 301..308 with their default colours, positions of both windows, text shown in controls.
    static void hooks_install() {
        GraphColors.clear();
        for (int graph = 301; graph <= 308; ++graph) GraphColors[graph] = SharedInts[graph].load();
        SettingsUiHooks hooks;
        hooks.graph_color = [](int graph) -> int32_t {
            const auto found = GraphColors.find(graph);
            return found == GraphColors.end() ? -1 : found->second;
        };
        hooks.graph_color_set = [](int graph, int32_t color) {
            if (GraphColors.count(graph)) GraphColors[graph] = color;
        };
        hooks.window_position = [](int window, int32_t* x, int32_t* y) {
            *x = window;
            *y = window + 1;
            return true;
        };
        settings_ui_hooks_set(hooks);
    }

    // What start-up takes as saved after the settings are applied.
    static void saved_copies_take() {
        shared_text_set(CONFIG_SAVED, settings_code_build());
        shared_text_set(LOGPATH_SAVED, log_folder());
    }

    static std::wstring log_folder() {
        std::lock_guard guard(DataFilesLock);
        return DataFiles[DATA_FILE_LOG].folder;
    }
};

TEST_F(SettingsFile, GoodFileIsAppliedAndItsTextsBecomeTheSavedCopies) {
    data_folder_create();
    hooks_install();
    const std::string bytes = BOM + "\r\n[Sotrix]\r\nConfig = " + std::string(CODE.begin(), CODE.end()) +
                              "\r\nDigits = v-5w6x1500y-12\r\nLogpath = 0\r\nColorBar = FF$$FF00\r\n"
                              "FilterDrv = 1234-ABCD\r\nFilterNic = 00:11:22:33:44\r\nEventLog = Application\r\n";
    ASSERT_TRUE(file_write_bytes(settings_path(), bytes));
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_EQ(SharedInts[OPT_ALWAYS_ON_TOP].load(), 0);
    EXPECT_EQ(SharedInts[OPT_LOG_FILE].load(), 1);
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 5);
    EXPECT_EQ(SharedInts[COMPACT_FONT_SIZE].load(), 14);
    EXPECT_EQ(SharedInts[MAIN_X].load(), -5);
    EXPECT_EQ(SharedInts[MAIN_Y].load(), 6);
    EXPECT_EQ(SharedInts[COMPACT_Y].load(), -12);
    EXPECT_EQ(log_folder(), ProgramFolder);
    EXPECT_EQ(GraphColors[301], 0xFF);
    EXPECT_EQ(GraphColors[302], SharedInts[302].load());
    EXPECT_EQ(GraphColors[303], 0xFF00);
    EXPECT_EQ(shared_text(COLOR_BAR_SAVED), L"FF$$FF00");
    EXPECT_EQ(shared_text(DRIVE_FILTER_SERIAL), L"1234-ABCD");
    EXPECT_EQ(shared_text(NET_FILTER_MAC), L"");  // four colons: not an address
    EXPECT_EQ(shared_text(EVENTLOG_NAME), L"Application");
    EXPECT_EQ(shared_text(EVENTLOG_NAME_SAVED), L"Application");
    EXPECT_TRUE(list_rows_copy(LIST_SYSTEM_EVENTS).empty());
}

TEST_F(SettingsFile, MissingFileOrFolderReadsNothing) {
    EXPECT_EQ(settings_load(settings_path()), 0);  // no data folder
    data_folder_create();
    EXPECT_EQ(settings_load(settings_path()), 0);
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 8);
    EXPECT_TRUE(list_rows_copy(LIST_SYSTEM_EVENTS).empty());
}

TEST_F(SettingsFile, MissingOrEmptyLogpathMeansTheDefaultLogFolderNeverTheDriveRoot) {
    data_folder_create();
    {
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_LOG].folder = ProgramFolder;  // in force before the load
    }
    for (const char* logpath : {"", "Logpath = \r\n"}) {
        ASSERT_TRUE(file_write_bytes(settings_path(), std::string("[Sotrix]\r\n") + logpath));
        EXPECT_EQ(settings_load(settings_path()), 1);
        EXPECT_EQ(log_folder(), DataFolder);
    }
}

TEST_F(SettingsFile, LogFolderThatTakesNoFileFallsBackToTheDefault) {
    data_folder_create();
    const std::wstring blocker = folder_text(Temp.Path) + L"plain-file";
    ASSERT_TRUE(file_write_bytes(blocker, "x"));
    const std::wstring unwritable = blocker + FOLDER_SEPARATOR + L"Logs" + FOLDER_SEPARATOR;
    ASSERT_TRUE(file_write_bytes(settings_path(), "[Sotrix]\r\nLogpath = " + utf8_from_wide(unwritable) + "\r\n"));
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_EQ(log_folder(), DataFolder);

    const std::wstring writable = folder_text(Temp.Path / "Logs");
    std::filesystem::create_directories(file_path(writable));
    ASSERT_TRUE(file_write_bytes(settings_path(), "[Sotrix]\r\nLogpath = " + utf8_from_wide(writable) + "\\\\//\r\n"));
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_EQ(log_folder(), writable);
}

// Bad files of every kind: never a crash, the file kept aside, the backup or the defaults, an event line.
TEST_F(SettingsFile, DamagedFileIsSetAsideAndTheBackupOrTheDefaultsAreUsed) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"binary garbage", std::string("\x00\x13\xFF\x00\x7F", 5)},
        {"truncated", BOM + "\r\n[Sotr"},
        {"text without a settings line", "just some text\r\n"},
        {"UTF-16 mark and binary data", std::string("\xFE\xFF\x00\x00\x13\x00", 6)},
    };
    const std::string backup_bytes =
        "[Sotrix]\r\nConfig = " + std::string(CODE.begin(), CODE.end()) + "\r\nEventLog = FromBackup\r\n";
    for (const bool with_backup : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (with_backup ? " with backup" : " without backup"));
            SetUp();
            std::filesystem::remove_all(file_path(DataFolder));
            data_folder_create();
            ASSERT_TRUE(file_write_bytes(settings_path(), c.bytes));
            if (with_backup) {
                ASSERT_TRUE(file_write_bytes(settings_path() + L".bak", backup_bytes));
            }
            EXPECT_EQ(settings_load(settings_path()), 1);
            EXPECT_FALSE(file_exists(file_path(settings_path())));
            EXPECT_EQ(file_bytes(settings_path() + L".bad"), c.bytes);
            EXPECT_TRUE(system_event_contains(L"could not be read"));
            EXPECT_EQ(shared_text(EVENTLOG_NAME), with_backup ? L"FromBackup" : L"");
            EXPECT_EQ(SharedInts[OPACITY_STEP].load(), with_backup ? 5 : 8);
            EXPECT_EQ(log_folder(), DataFolder);
            // The next save writes the file anew, although nothing differs from what start-up took as saved.
            saved_copies_take();
            EXPECT_TRUE(settings_save_if_changed());
            SettingsFileTexts written;
            std::wstring error;
            ASSERT_TRUE(settings_parse(file_bytes(settings_path()), written, error));
            EXPECT_EQ(written.Config, with_backup ? CODE : DEFAULT_CODE);
            EXPECT_EQ(file_bytes(settings_path() + L".bad"), c.bytes);  // still kept
        }
    }
}

// A hand-edited file with mistakes: the good keys count, one event line says what was left out, and the next save
// writes a clean file while the user's own stays as the backup.
TEST_F(SettingsFile, FileWithBadLinesKeepsItsGoodKeysAndIsWrittenCleanAtTheNextSave) {
    data_folder_create();
    hooks_install();
    const std::string original = "Config = " + std::string(CODE.begin(), CODE.end()) +
                                 "\r\n[Sotrix] mine\r\nEventLog Application\r\nFilterDrv = 1234-ABCD\r\n"
                                 "EventLog = C:\\Gr\xFC\xDF"
                                 "e\r\n";
    ASSERT_TRUE(file_write_bytes(settings_path(), original));
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_TRUE(file_exists(file_path(settings_path())));
    EXPECT_FALSE(file_exists(file_path(settings_path() + L".bad")));
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 8);  // the code above the group line is left out
    EXPECT_EQ(shared_text(DRIVE_FILTER_SERIAL), L"1234-ABCD");
    EXPECT_EQ(shared_text(EVENTLOG_NAME), L"C:\\Gr\u00fc\u00dfe");
    const std::vector<std::wstring> events = system_events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0],
              L"Settings file " + settings_path() + L": lines 1, 2, 3 were not understood and were left out");

    // Nothing differs from what start-up takes as saved, yet the next save writes the file anew.
    saved_copies_take();
    EXPECT_TRUE(settings_save_if_changed());
    EXPECT_EQ(file_bytes(settings_path() + L".bak"), original);
    const std::string clean = file_bytes(settings_path());
    EXPECT_EQ(clean, settings_serialise(SettingsFileTexts{DEFAULT_CODE, L"", DataFolder, L"", L"", L"", L"1234-ABCD",
                                                          L"", L"C:\\Gr\u00fc\u00dfe"}));
    // Once clean, the file is neither reported nor written again.
    list_rows_clear(LIST_SYSTEM_EVENTS);
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_TRUE(list_rows_copy(LIST_SYSTEM_EVENTS).empty());
    saved_copies_take();
    EXPECT_TRUE(settings_save_if_changed());
    EXPECT_EQ(file_bytes(settings_path() + L".bak"), original);
}

TEST_F(SettingsFile, FileWithoutItsGroupReadsAsDefaultsAndSaysSo) {
    data_folder_create();
    SharedInts[OPACITY_STEP] = 3;
    ASSERT_TRUE(file_write_bytes(
        settings_path(), "[Other]\r\nConfig = " + std::string(CODE.begin(), CODE.end()) + "\r\nEventLog = System\r\n"));
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_FALSE(file_exists(file_path(settings_path() + L".bad")));
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 3);
    EXPECT_EQ(shared_text(EVENTLOG_NAME), L"");
    const std::vector<std::wstring> events = system_events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_NE(events[0].find(L"there is no [Sotrix] group"), std::wstring::npos);
}

TEST_F(SettingsFile, EmptyFileTakesItsBackupAndIsOtherwiseAnEmptySettingsFile) {
    data_folder_create();
    ASSERT_TRUE(file_write_bytes(settings_path(), ""));
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 8);
    EXPECT_TRUE(list_rows_copy(LIST_SYSTEM_EVENTS).empty());

    ASSERT_TRUE(file_write_bytes(settings_path() + L".bak",
                                 "[Sotrix]\r\nConfig = " + std::string(CODE.begin(), CODE.end()) + "\r\n"));
    EXPECT_EQ(settings_load(settings_path()), 1);
    EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 5);
    EXPECT_TRUE(system_event_contains(L"was empty"));
}

TEST_F(SettingsFile, CodeOfTheWrongLengthIsReportedAndTheOtherKeysAreStillRead) {
    data_folder_create();
    for (const std::wstring& code : {DEFAULT_CODE.substr(0, 25), CODE + L"0", std::wstring(400, L'1')}) {
        SetUp();
        data_folder_create();
        SharedInts[OPACITY_STEP] = 3;
        ASSERT_TRUE(file_write_bytes(settings_path(),
                                     "[Sotrix]\r\nConfig = " + utf8_from_wide(code) + "\r\nEventLog = System\r\n"));
        EXPECT_EQ(settings_load(settings_path()), 1);
        EXPECT_EQ(SharedInts[OPACITY_STEP].load(), 3);
        EXPECT_EQ(shared_text(EVENTLOG_NAME), L"System");
        EXPECT_TRUE(system_event_contains(L"is not valid"));
    }
}

TEST_F(SettingsFile, SaveWritesOnlyWhenSomethingChangedAndKeepsTheBackup) {
    hooks_install();
    saved_copies_take();
    EXPECT_TRUE(settings_save_if_changed());
    EXPECT_FALSE(file_exists(file_path(settings_path())));  // nothing changed: not even the folder is made

    SharedInts[OPACITY_STEP] = 3;
    EXPECT_TRUE(settings_save_if_changed());
    const std::string first = file_bytes(settings_path());
    EXPECT_EQ(SharedInts[SETTINGS_FILE_PRESENT].load(), 1);
    SettingsFileTexts texts;
    std::wstring error;
    ASSERT_TRUE(settings_parse(first, texts, error));
    EXPECT_EQ(texts.Config[26], L'3');
    EXPECT_EQ(texts.Logpath, DataFolder);
    EXPECT_TRUE(first.starts_with(BOM + "\r\n[Sotrix]\r\nConfig = "));

    std::filesystem::remove(file_path(settings_path()));
    EXPECT_TRUE(settings_save_if_changed());
    EXPECT_FALSE(file_exists(file_path(settings_path())));  // saved already

    GraphColors[302] = 0x123456;
    EXPECT_TRUE(settings_save_if_changed());
    ASSERT_TRUE(settings_parse(file_bytes(settings_path()), texts, error));
    EXPECT_EQ(texts.ColorBar, L"$123456");
    SharedInts[OPT_REMEMBER_POSITIONS] = 1;
    SharedInts[MAIN_X] = -7;
    EXPECT_TRUE(settings_save_if_changed());
    ASSERT_TRUE(settings_parse(file_bytes(settings_path()), texts, error));
    EXPECT_EQ(texts.Digits, L"v-7w0x0y0");
    // The file before the last write is the backup.
    const std::string backup = file_bytes(settings_path() + L".bak");
    EXPECT_NE(backup.find("ColorBar = $123456"), std::string::npos);
    EXPECT_EQ(backup.find("Digits"), std::string::npos);
}

TEST_F(SettingsFile, FailedWriteIsReportedNotMarkedSavedAndRetried) {
    saved_copies_take();
    SharedInts[OPACITY_STEP] = 2;
    // The roaming folder is missing: the data folder cannot be made.
    std::filesystem::remove_all(file_path(AppDataFolder));
    EXPECT_FALSE(settings_save_if_changed());
    EXPECT_TRUE(system_event_contains(L"could not be saved"));
    EXPECT_NE(shared_text(CONFIG_SAVED), shared_text(CONFIG_CURRENT));

    std::filesystem::create_directories(file_path(AppDataFolder));
    EXPECT_TRUE(settings_save_if_changed());
    SettingsFileTexts texts;
    std::wstring error;
    ASSERT_TRUE(settings_parse(file_bytes(settings_path()), texts, error));
    EXPECT_EQ(texts.Config[26], L'2');
}

TEST_F(SettingsFile, ImportedTextsReachTheDataFolderFileAtTheNextSave) {
    hooks_install();
    data_folder_create();
    SharedInts[OPT_REMEMBER_POSITIONS] = 1;
    saved_copies_take();
    // Only texts that the import reads into the last-saved copies differ: colours, positions, filters.
    const std::wstring chosen = folder_text(Temp.Path) + L"chosen.ini";
    std::wstring remember = DEFAULT_CODE;
    remember[24] = L'1';
    const std::string code = utf8_from_wide(remember);
    ASSERT_TRUE(file_write_bytes(chosen, "[Sotrix]\r\nConfig = " + code +
                                             "\r\nDigits = v1w2x3y4\r\nColorBar = FF\r\n"
                                             "FilterDrv = 1234-ABCD\r\nEventLog = Security\r\n"));
    int refreshed = -1;
    static int* refreshed_at = nullptr;
    refreshed_at = &refreshed;
    SettingsUiHooks hooks = settings_ui_hooks();
    hooks.window_position = nullptr;
    hooks.settings_controls_refresh = [](int argument) { *refreshed_at = argument; };
    settings_ui_hooks_set(hooks);
    ASSERT_TRUE(settings_import(chosen));
    EXPECT_EQ(refreshed, 0);
    EXPECT_EQ(file_bytes(chosen).substr(0, 8), "[Sotrix]");  // the chosen file is only read
    EXPECT_TRUE(settings_save_if_changed());
    SettingsFileTexts texts;
    std::wstring error;
    ASSERT_TRUE(settings_parse(file_bytes(settings_path()), texts, error));
    EXPECT_EQ(texts.ColorBar, L"FF");
    EXPECT_EQ(texts.FilterDrv, L"1234-ABCD");
    EXPECT_EQ(texts.EventLog, L"Security");
    EXPECT_EQ(texts.Digits, L"v1w2x3y4");
}

TEST_F(SettingsFile, ImportOfABadFileChangesNothingAndKeepsTheFile) {
    const std::wstring chosen = folder_text(Temp.Path) + L"notes.ini";
    ASSERT_TRUE(file_write_bytes(chosen, "just some text\r\n"));
    EXPECT_FALSE(settings_import(chosen));
    EXPECT_EQ(file_bytes(chosen), "just some text\r\n");
    EXPECT_TRUE(system_event_contains(L"could not be imported"));
    EXPECT_FALSE(settings_import(chosen + L"-missing"));
}

TEST_F(SettingsFile, ExportWritesTheCurrentSettingsWithoutTouchingTheSavedCopies) {
    saved_copies_take();
    const std::wstring saved = shared_text(CONFIG_SAVED);
    SharedInts[TITLE_MODE] = 4;
    shared_text_set(EVENTLOG_NAME, L"System");
    const std::wstring chosen = folder_text(Temp.Path) + L"export.ini";
    ASSERT_TRUE(settings_export(chosen));
    SettingsFileTexts texts;
    std::wstring error;
    ASSERT_TRUE(settings_parse(file_bytes(chosen), texts, error));
    EXPECT_EQ(texts.Config[27], L'4');
    EXPECT_EQ(texts.EventLog, L"System");
    EXPECT_FALSE(file_exists(file_path(chosen + L".bak")));
    EXPECT_EQ(shared_text(CONFIG_SAVED), saved);
    EXPECT_FALSE(settings_export(folder_text(Temp.Path) + L"missing" + FOLDER_SEPARATOR + L"export.ini"));
}

TEST_F(SettingsFile, LogFolderOfTheProgramIsStoredAsZero) {
    data_folder_create();
    {
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_LOG].folder = ProgramFolder;
    }
    EXPECT_TRUE(settings_save(settings_path()));
    SettingsFileTexts texts;
    std::wstring error;
    ASSERT_TRUE(settings_parse(file_bytes(settings_path()), texts, error));
    EXPECT_EQ(texts.Logpath, L"0");
}

}  // namespace
