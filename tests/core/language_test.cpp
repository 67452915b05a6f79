// Tests of the text table's contents, the language choice and the English and German lookups.
#include "core/language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "core/data_block.h"

namespace {

struct TextRecord {
    std::wstring key;
    std::wstring german;
};

std::vector<TextRecord> text_records_read() {
    DataBlockCursor cursor = data_block_cursor(DATA_TEXT_TABLE);
    EXPECT_EQ(data_block_read_int32(cursor), 2);
    std::vector<TextRecord> records;
    while (cursor.position < data_block().size()) {
        TextRecord record;
        record.key = data_block_read_text(cursor);
        if (record.key == L"_END_") return records;
        record.german = data_block_read_text(cursor);
        records.push_back(record);
    }
    ADD_FAILURE() << "the text table has no end record";
    return records;
}

bool is_marked(const std::wstring& key) { return !key.empty() && (key[0] == L'<' || key[0] == L'>'); }

// Puts the maps back to English, which the other tests of this program expect.
struct EnglishAfterwards {
    ~EnglishAfterwards() { text_maps_load(LANGUAGE_ENGLISH); }
};

std::string utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t ch : text) {
        const auto c = static_cast<std::uint32_t>(ch);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

TEST(TextTable, HoldsTheKeysOnceEach) {
    const std::vector<TextRecord> records = text_records_read();
    std::set<std::wstring> plain;
    std::set<std::wstring> names;
    for (const TextRecord& record : records) {
        const bool added =
            is_marked(record.key) ? names.insert(record.key.substr(1)).second : plain.insert(record.key).second;
        EXPECT_TRUE(added) << "twice: " << utf8(record.key);
    }
    EXPECT_EQ(records.size(), 696u);
    EXPECT_EQ(plain.size(), 658u);
    EXPECT_EQ(names.size(), 38u);

    // Keys whose spaces at an end belong to them.
    for (const wchar_t* key : {L"Detected: ", L" Down ", L" File", L"Down", L""})
        EXPECT_TRUE(plain.count(key)) << utf8(key);
    EXPECT_TRUE(plain.count(L"Core Temp.exe not running [F5]=Recheck [F7]=Open https://www.alcpu.com/CoreTemp/"));

    // Exactly these records fall back to the English key in German.
    std::set<std::wstring> untranslated;
    for (const TextRecord& record : records)
        if (record.german.empty()) untranslated.insert(record.key);
    EXPECT_EQ(untranslated,
              (std::set<std::wstring>{L"", L"Show Drives Read/Write", L"Show Network Sending/Receiving"}));
}

TEST(TextTable, MarkedKeysHaveTheirAlignmentAndWidth) {
    // marker + name (spaces included); the name's length is the width.
    const std::map<std::wstring, std::size_t> widths = {
        {L"<Calculating   ", 14},
        {L"<Repairing     ", 14},
        {L">Phys", 4},
        {L">Page", 4},
        {L">CPU", 3},
        {L">Uptime", 6},
        {L">Batt", 4},
        {L">Idle", 4},
        {L">R", 1},
        {L">W", 1},
        {L">Ping", 4},
        {L"<No Media / Blank", 16},
        {L"<Audio CD", 8},
        {L"<Audio", 5},
        {L"<Track", 5},
        {L"<Tracks", 6},
        {L"<NEW!", 4},
        {L"<LOST", 4},
        {L"<Hi", 2},
        {L"<Lo", 2},
        {L"> Used", 5},
        {L"> Free", 5},
        {L">Total", 5},
        {L"> Diff", 5},
        {L">  Old", 5},
        {L">  New", 5},
        {L"<AdminStatus  ", 13},
        {L"<OperStatus   ", 13},
        {L"<Direction    ", 13},
        {L"<Access       ", 13},
        {L"<Tunnel       ", 13},
        {L"<Interface    ", 13},
        {L"<None     ", 9},
        {L"<Error    ", 9},
        {L"<Warning  ", 9},
        {L"<Info     ", 9},
        {L"<Success  ", 9},
        {L"<Failure  ", 9},
    };
    std::map<std::wstring, std::size_t> found;
    for (const TextRecord& record : text_records_read())
        if (is_marked(record.key)) found[record.key] = record.key.size() - 1;
    EXPECT_EQ(found, widths);
}

TEST(Language, PrimaryLanguageChoosesLanguageAndSplashLine) {
    struct Case {
        int primary;
        int language;
        const wchar_t* splash;
    };
    const Case cases[] = {
        {9, LANGUAGE_ENGLISH, L"1-Language: English"},
        {7, LANGUAGE_GERMAN, L"1-Sprache: deutsche"},
        {12, LANGUAGE_FRENCH, L"1-La langue: fran\u00E7ais"},
        {10, LANGUAGE_SPANISH, L"1-Idioma: Espa\u00F1ol"},
        {0, LANGUAGE_UNKNOWN, L"1-Unknown Language"},
        {0x10, LANGUAGE_UNKNOWN, L"1-Unknown Language"},   // Italian
        {0x407, LANGUAGE_UNKNOWN, L"1-Unknown Language"},  // a whole language id is not a primary language
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.primary);
        EXPECT_EQ(language_from_primary(c.primary), c.language);
        EXPECT_EQ(language_splash_line(language_from_primary(c.primary)), c.splash);
    }
}

TEST(Language, EnglishShowsTheKeysAndNamesUnchanged) {
    for (int language : {LANGUAGE_ENGLISH, LANGUAGE_UNKNOWN, LANGUAGE_FRENCH, LANGUAGE_SPANISH}) {
        SCOPED_TRACE(language);
        text_maps_load(language);
        EXPECT_EQ(text_map_count(), 657u);  // the table's empty key is not loaded
        EXPECT_EQ(padded_text_map_count(), 38u);
        for (const TextRecord& record : text_records_read()) {
            if (is_marked(record.key)) {
                EXPECT_EQ(tr_padded(record.key.substr(1)), record.key.substr(1));
            } else {
                EXPECT_EQ(tr(record.key), record.key);
            }
        }
    }
}

TEST(Language, GermanTranslatesAndKeepsFixedWidths) {
    EnglishAfterwards restore;
    text_maps_load(LANGUAGE_GERMAN);
    struct Case {
        const wchar_t* key;
        const wchar_t* shown;
    };
    const Case plain[] = {
        {L"started", L"gestartet"},
        {L"Detected: ", L"Erkannt: "},
        {L" Down ", L"Nieder"},
        {L"Down", L"Inaktiv"},
        {L" File", L"-Datei"},
        {L"Loading: Events", L"Laden: Veranstaltungen"},
        {L"About", L"\u00DCber"},
        {L"Show Drives Read/Write", L"Show Drives Read/Write"},
        {L"Show Network Sending/Receiving", L"Show Network Sending/Receiving"},
        {L"MHz", L""},  // not a key
    };
    for (const Case& c : plain) EXPECT_EQ(tr(c.key), c.shown) << utf8(c.key);
    const Case padded[] = {
        {L"LOST", L"Verl"},  // longer translations are cut, never widened
        {L"Hi", L"Ho"},
        {L"Lo", L"Ni"},
        {L" Used", L"Gebra"},
        {L" Free", L" Frei"},                    // right-aligned
        {L"Calculating   ", L"wird berechnet"},  // fills the width exactly
        {L"Repairing     ", L"Reparatur     "},  // left-aligned
        {L"None     ", L"Nichts   "},
        {L"Batt", L"Akku"},
        {L"None", L""},  // the name includes its spaces
    };
    for (const Case& c : padded) EXPECT_EQ(tr_padded(c.key), c.shown) << utf8(c.key);
    for (const TextRecord& record : text_records_read()) {
        if (is_marked(record.key)) {
            EXPECT_EQ(tr_padded(record.key.substr(1)).size(), record.key.size() - 1) << utf8(record.key);
        }
    }
}

TEST(Language, TheMapsHoldNoEmptyKey) {
    EnglishAfterwards restore;
    std::set<std::wstring> plain;
    std::set<std::wstring> names;
    for (const TextRecord& record : text_records_read()) {
        if (is_marked(record.key)) {
            if (record.key.size() > 1) names.insert(record.key.substr(1));
        } else if (!record.key.empty()) {
            plain.insert(record.key);
        }
    }
    for (int language : {LANGUAGE_ENGLISH, LANGUAGE_GERMAN}) {
        SCOPED_TRACE(language);
        text_maps_load(language);
        // Every non-empty key once, nothing else: an entry beyond these is the empty key.
        EXPECT_EQ(text_map_count(), plain.size());
        EXPECT_EQ(padded_text_map_count(), names.size());
        EXPECT_EQ(tr(L""), L"");
        EXPECT_EQ(tr_padded(L""), L"");
    }
}

TEST(Language, UnknownKeysGiveTheEmptyTextAndAddNothing) {
    text_maps_load(LANGUAGE_ENGLISH);
    const std::size_t plain = text_map_count();
    const std::size_t padded = padded_text_map_count();
    for (const wchar_t* key : {L"No such text", L"STARTED", L"started ", L"Down  ", L"<LOST", L"LOST"}) {
        EXPECT_EQ(tr(key), L"") << utf8(key);
        EXPECT_EQ(tr_padded(std::wstring(key) + L"?"), L"") << utf8(key);
    }
    EXPECT_EQ(tr_padded(L"<LOST"), L"");
    EXPECT_EQ(text_map_count(), plain);
    EXPECT_EQ(padded_text_map_count(), padded);
}

TEST(Language, ShownTextsStayValidAcrossLoadsAndThreads) {
    EnglishAfterwards restore;
    text_maps_load(LANGUAGE_ENGLISH);
    const std::wstring& english = tr(L"started");
    text_maps_load(LANGUAGE_GERMAN);
    EXPECT_EQ(english, L"started");  // a text handed out earlier is never freed or changed
    EXPECT_EQ(tr(L"started"), L"gestartet");

    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::wstring& shown = tr(L"stopped");
                if (shown != L"stopped" && shown != L"gestoppt") ++wrong;
                if (tr(L"not a key") != L"") ++wrong;
            }
        });
    }
    for (int round = 0; round < 200; ++round) text_maps_load(round % 2 ? LANGUAGE_GERMAN : LANGUAGE_ENGLISH);
    stop = true;
    for (auto& reader : readers) reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

// Every literal handed to tr() and tr_padded() in the program's sources must be a key of the table;
// a missing one would show as nothing.
TEST(TextTable, EveryLiteralLookupInTheSourcesIsAKey) {
    namespace fs = std::filesystem;
    const fs::path root = SOTRIX_SOURCE_DIR;
    std::error_code error;
    if (!fs::is_directory(root / "core", error)) {
        FAIL() << "no source folder at " << root;
    }
    std::set<std::string> plain;
    std::set<std::string> names;
    for (const TextRecord& record : text_records_read()) {
        if (is_marked(record.key))
            names.insert(utf8(record.key.substr(1)));
        else
            plain.insert(utf8(record.key));
    }

    std::vector<std::string> missing;
    std::size_t files = 0;
    std::size_t literals = 0;
    for (const char* folder : {"runtime", "core", "ui", "system", "network", "gpu", "eventlog"}) {
        if (!fs::is_directory(root / folder, error)) continue;
        for (const auto& entry : fs::directory_iterator(root / folder, error)) {
            const fs::path path = entry.path();
            if (path.extension() != ".cpp" && path.extension() != ".h") continue;
            std::ifstream in(path, std::ios::binary);
            const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            ++files;
            for (const std::string call : {"tr(L\"", "tr_padded(L\""}) {
                for (std::size_t at = source.find(call); at != std::string::npos; at = source.find(call, at + 1)) {
                    if (at > 0) {
                        const char before = source[at - 1];
                        if (std::isalnum(static_cast<unsigned char>(before)) || before == '_') continue;
                    }
                    // The literal, with its simple escapes; anything else is left for a human to check.
                    std::string literal;
                    std::size_t i = at + call.size();
                    bool plain_literal = true;
                    for (; i < source.size() && source[i] != '"'; ++i) {
                        if (source[i] != '\\') {
                            literal += source[i];
                            continue;
                        }
                        const char escaped = ++i < source.size() ? source[i] : '\0';
                        switch (escaped) {
                            case '\\': literal += '\\'; break;
                            case '"': literal += '"'; break;
                            case '\'': literal += '\''; break;
                            case 'n': literal += '\n'; break;
                            case 'r': literal += '\r'; break;
                            case 't': literal += '\t'; break;
                            default: plain_literal = false;
                        }
                    }
                    std::size_t after = i + 1;
                    while (after < source.size() && std::isspace(static_cast<unsigned char>(source[after]))) ++after;
                    if (!plain_literal || after >= source.size() || source[after] != ')')
                        continue;  // not a lone literal
                    ++literals;
                    const bool is_padded = call[2] == '_';
                    if (!(is_padded ? names : plain).count(literal)) {
                        const auto line =
                            std::count(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
                        missing.push_back(path.filename().string() + ":" + std::to_string(line) + ": " + call +
                                          literal + "\")");
                    }
                }
            }
        }
    }
    EXPECT_GT(files, 0u);
    std::ostringstream list;
    for (const std::string& entry : missing) list << "\n  " << entry;
    EXPECT_TRUE(missing.empty()) << missing.size() << " of " << literals
                                 << " looked-up texts are not in the table:" << list.str();
}

// Run by CTest as "core_german" with a German locale (under Wine, Windows takes it from LC_ALL).
TEST(GermanLocale, UserLanguageIsGermanAndTextsAreGerman) {
    const char* expect = std::getenv("SOTRIX_EXPECT_GERMAN");
    ASSERT_TRUE(expect != nullptr && std::string(expect) == "1")
        << "run only with a German locale and SOTRIX_EXPECT_GERMAN=1 (CTest's core_german does)";
    EnglishAfterwards restore;
    const int primary = user_primary_language();
    EXPECT_EQ(primary, 7);
    const int language = language_from_primary(primary);
    ASSERT_EQ(language, LANGUAGE_GERMAN);
    EXPECT_EQ(language_splash_line(language), L"1-Sprache: deutsche");
    text_maps_load(language);
    EXPECT_EQ(tr(L"Program is already running."), L"Das Programm l\u00E4uft bereits.");
    EXPECT_EQ(tr(L"Settings"), L"Einstellungen");
    EXPECT_EQ(tr_padded(L"LOST"), L"Verl");
    EXPECT_EQ(tr_padded(L" Used"), L"Gebra");
}
