// Writes the seed corpus of the settings, ping store, session history, MAC vendor and geolocation targets: the files
// the program itself writes (made here by its own writers), the damaged files the ordinary tests use, and the
// documented examples. Run after a change of a format, then check the files in:
//
//   build/fuzz/tests/fuzz/fuzz_corpus_make tests/fuzz/corpus
//
// Each seed is named after what it shows; files already there under other names (inputs merged by
// tools/fuzz.sh --save-corpus) are left alone.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/saga_store.h"
#include "core/settings_code.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "network/ping_hosts.h"
#include "network/ping_store.h"
#include "runtime/file_io.h"
#include "runtime/json_store.h"
#include "runtime/list_model.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const std::string BOM = "\xEF\xBB\xBF";
// The separator of a store and its backup in one input (fuzz_store_input).
const std::string BACKUP(std::string_view("\0BAK\0", 5));
const std::string DEFAULT_CODE = "11100111100000000001100000800010000000000000000000";

std::filesystem::path Root;
int Written = 0;

void seed(const std::string& target, const std::string& name, std::string_view bytes) {
    const std::filesystem::path folder = Root / target;
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "corpus_make: cannot write %s\n", (folder / name).c_str());
        std::exit(1);
    }
    ++Written;
}

std::string utf16(std::u16string_view text, bool big_endian, bool mark) {
    std::string bytes = mark ? (big_endian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

// ---- Settings ----

void settings_seeds() {
    const std::string t = "settings";
    const FuzzFolders& folders = fuzz_program_reset();
    SharedInts[PORTABLE_MODE] = 1;
    {
        // As a portable start leaves it: the log in the program's folder, written as "0".
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_LOG].folder = folders.Program;
    }
    const std::wstring exported = folders.Data + L"Exported.ini";
    settings_export(exported);
    std::string bytes;
    file_read_all(file_path(exported), bytes, SETTINGS_FILE_MAX_BYTES);
    seed(t, "written-defaults.ini", bytes);

    SettingsFileTexts texts;
    texts.Config =
        L"01100111100100000001100000"
        L"5120100000"
        L"411" +
        std::wstring(11, L'0');
    texts.Digits = L"v120w80x1500y-12";
    texts.Logpath = L"D:\\Logs\\\u00c4rger\\";
    texts.ColorBar = L"FF$$FF00";
    texts.ColorCPU = L"$$C0";
    texts.ColorGra = L"FF";
    texts.FilterDrv = L"1234-ABCD";
    texts.FilterNic = L"00:11:22:33:44:55";
    texts.EventLog = L"Sicherheit \u00e4";
    seed(t, "written-all-keys.ini", settings_serialise(texts));

    // The same file read by the program and written again: positions, colours and filters as it keeps them.
    file_write_atomic(file_path(exported), settings_serialise(texts), false);
    fuzz_program_reset();
    SharedInts[PORTABLE_MODE] = 1;
    settings_load(exported);
    settings_export(exported);
    file_read_all(file_path(exported), bytes, SETTINGS_FILE_MAX_BYTES);
    seed(t, "written-after-reading-all-keys.ini", bytes);

    const std::string config = "Config = " + DEFAULT_CODE + "\r\n";
    const std::u16string text16 =
        u"\r\n[Sotrix]\r\nConfig = 11100111100000000001100000800010000000000000000000\r\n"
        u"EventLog = Gr\u00f6\u00dfe \u20ac\r\nLogpath = 0\r\n";
    seed(t, "utf16le-mark.ini", utf16(text16, false, true));
    seed(t, "utf16be-mark.ini", utf16(text16, true, true));
    seed(t, "utf16le-without-mark.ini", utf16(text16, false, false));
    seed(t, "utf16le-cut-in-a-unit.ini", utf16(text16, false, true) + "x");
    seed(t, "utf16-nul-in-a-line.ini",
         utf16(std::u16string(u"[Sotrix]\r\nEventLog = A\0B\r\nConfig = 1\r\n", 38), false, true));
    seed(t, "utf16-lone-surrogate.ini", utf16(u"[Sotrix]\r\nEventLog = A\xD800\r\n", false, true));
    seed(t, "ansi.ini",
         "[Sotrix]\r\nEventLog = C:\\Daten\\Gr\xFC\xDF"
         "e \x80\r\n" +
             config);
    seed(t, "utf8-without-mark.ini", "[Sotrix]\r\nEventLog = Ereignis\xC3\xA4\r\n" + config);
    seed(t, "mark-and-a-line-of-invalid-utf8.ini", BOM + "[Sotrix]\r\nEventLog = \xE4\r\n" + config);
    seed(t, "lf-only.ini", "[Sotrix]\nConfig = " + DEFAULT_CODE + "\nEventLog = System\n");
    seed(t, "cr-only.ini", "[Sotrix]\rConfig = " + DEFAULT_CODE + "\rEventLog = System\r");
    seed(t, "mixed-case-no-blanks.ini", "[sOtRiX]\r\nconfig=" + DEFAULT_CODE + "\r\nEVENTLOG=System");
    seed(t, "comments-and-other-groups.ini",
         "; note\r\n[Other]\r\nConfig = x\r\n[Sotrix] ; mine\r\n;Config = y\r\n" + config + "\t\r\n");
    seed(t, "hand-edits.ini",
         "EventLog = Early\r\n[Sotrix] x\r\n" + config +
             "EventLog System\r\nConfg = 1\r\n= 1\r\nEventLog = A\x01"
             "B\r\nEventLog = Security\r\nEventLog = Second\r\n");
    seed(t, "keys-without-group.ini", config + "EventLog = System\r\n");
    seed(t, "group-line-without-bracket.ini", "[Sotrix\r\n" + config);
    seed(t, "no-sotrix-group.ini", "[Other]\r\n" + config);
    seed(t, "filters-of-the-wrong-shape.ini",
         "[Sotrix]\r\nFilterDrv = 1234ABCD\r\nFilterNic = 00:11:22:33:4455\r\nDigits = x-1800y40\r\n");
    seed(t, "no-filter-values.ini", "[Sotrix]\r\nFilterDrv = 0000-0000\r\nFilterNic = 00:00:00:00:00:00\r\n");
    seed(t, "empty.ini", "");
    seed(t, "mark-only.ini", BOM);
    seed(t, "blank-lines-and-comments.ini", "\r\n \r\n\t\n; first\r\n ; second\r\n");
    seed(t, "binary.bin", std::string("\x00\x01\xFF\xFE garbage\x00", 12));
    seed(t, "nul-in-a-good-file.ini", "[Sotrix]\r\n" + std::string("Config = 1\0", 11));
    seed(t, "garbage-without-nul.bin", "\xC7\x91\xFF\xAB\x13\x7F\xE2\x82\r\n\xFF\xFE");
    seed(t, "plain-text.txt", "just some text\r\n");
    seed(t, "cut-in-the-group-line.ini", BOM + "\r\n[Sotr");
    // Settings codes: the lengths and positions the reading rules name.
    const std::pair<const char*, std::string> codes[] = {
        {"code-26.ini", "11100111100000000001100000"},
        {"code-30.ini", "111001111000000000011000008000"},
        {"code-older-font-26.ini", "11100111100000000001100000800010000010" + std::string(13, '0')},
        {"code-51.ini", DEFAULT_CODE + "0"},
        {"code-z-at-38.ini", "111001111000000000011000008000100000GZZ" + std::string(11, '0')},
        {"code-2-in-a-flag-0-at-27.ini",
         "21100111100000000001100002"
         "0" +
             std::string(23, 'F')},
        {"code-positions-on.ini", "11100111100000000001100010800010000000000000000000"},
    };
    for (const auto& [name, code] : codes) {
        seed(t, name, "[Sotrix]\r\nConfig = " + code + "\r\nDigits = v120w80x1500y-12\r\nColorBar = FF$$FF00\r\n");
    }
}

// ---- Stores ----

// A store that runs out of memory at each of the allocations of its load and save, alone and beside a backup.
void out_of_memory_seeds(const std::string& target, const std::string& store) {
    const std::string damaged = store.substr(0, store.size() / 2);
    for (int n = 1; n <= 8; ++n) {
        const std::string at = std::string("\0OOM", 4) + static_cast<char>(n);
        seed(target, "written-out-of-memory-at-" + std::to_string(n) + ".json", store + at);
        seed(target, "damaged-with-a-backup-out-of-memory-at-" + std::to_string(n) + ".json",
             damaged + BACKUP + store + at);
    }
}

// ---- Ping host store ----

std::string ping_written(int hosts, int samples) {
    FuzzStoreFiles files;
    const std::wstring path = fuzz_program_reset().Data + L"SX-Ping.json";
    ping_store_reset();
    ping_store_calls_set(files.calls());
    ping_list_load(path);
    {
        std::lock_guard guard(PingListMutex);
        PingHostList.clear();
        for (int i = 0; i < hosts; ++i) {
            PSys host =
                ping_host_make(0x0100000Au + (static_cast<uint32_t>(i) << 24), i % 2 ? L"r\u00f6uter \"one\"" : L"");
            host.Init = L"1700000000." + std::to_wstring(100 + i);  // made from the time: fixed for the seed
            host.Sent = 10 + i;
            host.Recv = 9;
            host.Lost = 1;
            host.Best = 1;
            host.Wors = 25;
            host.Down = 1700000000 + i;
            for (int s = 0; s < samples; ++s) host.PV.push_back({1700000000 + 60 * s, s % 3 == 0 ? -1 : s});
            PingHostList.push_back(std::move(host));
        }
    }
    ping_list_save(path);
    std::string bytes;
    files.get(path, bytes);
    ping_store_reset();
    return bytes;
}

void ping_store_seeds() {
    const std::string t = "ping_store";
    const std::string small = ping_written(2, 3);
    const std::string large = ping_written(5, 8);  // over the target's limits of 3 hosts and 5 samples
    seed(t, "written-2-hosts.json", small);
    seed(t, "written-5-hosts-8-samples.json", large);
    seed(t, "written-empty-list.json", "[]");
    seed(t, "written-with-its-backup.json", small + BACKUP + large);
    seed(t, "empty-with-a-backup.json", BACKUP + small);
    seed(t, "damaged-with-a-good-backup.json", "[{\"Init\":" + BACKUP + small);
    seed(t, "damaged-with-a-damaged-backup.json", "[1," + BACKUP + "[2,");
    seed(t, "good-with-a-damaged-backup.json", small + BACKUP + small.substr(0, small.size() / 2));
    seed(t, "cut-in-half.json", small.substr(0, small.size() / 2));
    seed(t, "cut-in-a-member.json", "[{\"Init\":");
    seed(t, "not-a-list.json", "{\"Addr\":1}");
    seed(t, "not-json.json", "\xFF");
    seed(t, "nested-deeper-than-a-store.json", std::string(1000, '['));
    seed(t, "members-of-other-types.json",
         R"([{"Addr":"10.0.0.1","Host":"a\u0007b\u202Ec)" + std::string(60, 'x') +
             R"(","Sent":"x","PV":[{"S":5},7]},3])");
    seed(t, "numbers-at-their-ends.json",
         R"([{"Actv":2147483648,"Sent":-2147483649,"Recv":2.0,"Lost":1e3,"Down":9223372036854775807,)"
         R"("Valu":18446744073709551615,"Sort":-9223372036854775808,"Time":1.5,"PV":[{"S":1e300,"T":-1}]}])");
    seed(t, "members-given-twice.json",
         R"([{"Init":"a","Init":"b","PV":[{"S":1,"T":2}],"PV":[{"S":3,"T":4,"S":5}],"Host":"x","Host":7}])");
    seed(t, "elements-that-are-no-hosts.json", R"([1,"two",null,true,[],{"PV":{"S":1}},{"PV":[[],1,{}]}])");
    out_of_memory_seeds(t, small);
}

// ---- Session history ----

std::string saga_written() {
    FuzzStoreFiles files;
    const std::wstring path = fuzz_program_reset().Data + L"SX-Saga.json";
    SharedInts[OPT_RESTORE_SESSION] = 1;
    saga_store_reset();
    saga_store_calls_set(files.calls());
    saga_lists_load(path);
    // Event rows as event_line_add makes them, at a fixed time so that the seed is the same at every run.
    list_rows_insert(LIST_SYSTEM_EVENTS, 0, L"11-14  22:13:20 - started");
    list_rows_insert(LIST_SYSTEM_EVENTS, 0, L"11-14  22:13:21 - Settings file: line 3 was not understood");
    list_rows_insert(LIST_NETWORK_EVENTS, 0, L"11-14  22:13:22 - External IP: 192.0.2.1");
    saga_line_add(L"--", 1700000000);
    saga_line_add(L"C: 12.5 GB free \"quoted\" \\ \u00e4", 0);
    saga_line_add(L"--", 1700003600);
    saga_lists_save(path);
    std::string bytes;
    files.get(path, bytes);
    saga_store_reset();
    return bytes;
}

void saga_store_seeds() {
    const std::string t = "saga_store";
    const std::string written = saga_written();
    seed(t, "written-three-lists.json", written);
    seed(t, "written-with-its-backup.json", written + BACKUP + written.substr(0, written.size() / 2) + "]}]");
    seed(t, "empty-with-a-backup.json", BACKUP + written);
    seed(t, "damaged-with-a-good-backup.json", "[{\"Name\":" + BACKUP + written);
    seed(t, "escapes-and-an-empty-row.json",
         "[{\"Name\":\"System Events\",\"Last\":2,\"SV\":[{\"L\":\"a\\\"b\\\\c\\td\\u0001\xC3\xA4\"},{\"L\":\"\"}]}]");
    seed(t, "members-of-other-types.json", R"([{"SV":[{"X":1},{"L":"ok"}]},7,{"Name":"N","Last":"x","SV":5}])");
    seed(t, "another-language.json", R"([{"Name":"Systemereignisse","Last":1,"SV":[{"L":"gestartet"}]}])");
    seed(t, "storage-list-by-its-name.json",
         R"([{"Name":"Storage Monitor","Last":7,"SV":[{"L":""},{"L":"-- #0007"},{"L":"  "}]},)"
         R"({"Name":"Network Events","Last":2.0,"SV":[{"L":" "},{"L":"up\nsecond column"}]}])");
    seed(t, "not-a-list.json", "{\"Name\":\"System Events\"}");
    seed(t, "garbage.bin", "garbage \x01\x02");
    seed(t, "cut-in-a-member.json", "[{\"Name\":");
    seed(t, "not-json.json", "\xFF\xFE");
    seed(t, "nested-deeper-than-a-store.json", std::string(5000, '['));
    seed(t, "members-given-twice.json",
         R"([{"Name":"System Events","SV":[{"L":"a"}],"SV":[{"L":"b","L":"c"}],"Last":1,"Last":-5}])");
    out_of_memory_seeds(t, written);
}

// ---- MAC vendor list ----

void mac_vendor_seeds() {
    const std::string t = "mac_vendors";
    // The published list's shape, with made-up vendors; long enough for the import to count it.
    std::string csv = "Mac Prefix,Vendor Name,Private,Block Type,Last Update\r\n";
    const char* vendors[] = {"Example Networks",    "\"Quoted, Inc\"", "Brindale Devices GmbH",
                             "Fictional Radio Ltd", "Sample Silicon",  "\"Vendor with \"\"doubled\"\" quotes\""};
    for (int i = 0; i < 40; ++i) {
        char prefix[32];
        if (i % 5 == 4) {
            std::snprintf(prefix, sizeof prefix, "70:B3:D5:%02X:%X", i, i % 16);  // a 36-bit block
        } else if (i % 5 == 3) {
            std::snprintf(prefix, sizeof prefix, "00:1B:C5:%X", i % 16);  // a 28-bit block
        } else {
            std::snprintf(prefix, sizeof prefix, "%02X:%02X:%02X", i * 7 % 256, i * 13 % 256, i);
        }
        csv += std::string(prefix) + "," + vendors[i % std::size(vendors)] + ",false," +
               (i % 5 == 4   ? "MA-S"
                : i % 5 == 3 ? "MA-M"
                             : "MA-L") +
               ",2015/11/17\r\n";
    }
    seed(t, "published-shape.csv", csv);
    seed(t, "published-shape-lf.csv", csv.substr(0, csv.size() / 2) + "\n");
    seed(t, "bad-lines.csv",
         "Mac Prefix,Vendor Name,Private,Block Type,Last Update\r\n"
         "00:1A:2B,Vendor One,false,MA-L,2015/11/17\r\n"
         "00:1A:2B:3C:4,\"Vendor, Nine Digits\",false,MA-M,\r\n"
         "AA-BB-CC,\"Unclosed, quote\r\n"
         "no comma here\r\n"
         "zz:zz:zz,Not Hex\r\n"
         "00:1A,Too Short\r\n"
         "11:22:33,\x1b[31mRed\x07 Vendor\xE2\x80\xAE" +
             std::string(60, 'x') +
             "\n"
             "00:1A:2B,Vendor One Again\n"
             "44:55:66,");
    seed(t, "header-only.csv", "only,a header");
    seed(t, "long-vendor-with-blanks.csv", "header\n001a2b, Long Vendor" + std::string(28, 'x') + "  Tail \n");
}

// ---- Geolocation reply ----

void geolocation_seeds() {
    const std::string t = "geolocation";
    seed(t, "success.json",
         R"({"status":"success","continent":"Europe","continentCode":"EU","country":"Germany",)"
         R"("countryCode":"DE","region":"BE","regionName":"Berlin","city":"Berlin","district":"Mitte",)"
         R"("zip":"10115","lat":52.52,"lon":13.405,"timezone":"Europe/Berlin","offset":3600,"currency":"EUR",)"
         R"("isp":"Example ISP","org":"Example Org","as":"AS64500 Example","asname":"EXAMPLE-AS",)"
         R"("reverse":"host.example.net","query":"198.51.100.7"})");
    seed(t, "fail.json", R"({"status":"fail","message":"private range","query":"10.0.0.1"})");
    seed(t, "cut-off.json", R"({"status":"success","query":"203.0.113.9")");
    seed(t, "members-of-other-types.json", R"({"status":"success","lat":"north","offset":1.5,"city":7,"zip":"X1"})");
    seed(t, "names-in-other-cases.json",
         R"({"STATUS":"success","Query":"192.0.2.1","AS":"AS64500","CountryCode":"DE","LAT":-90,"Lon":180.0,)"
         R"("OFFSET":-43200,"status":"success"})");
    seed(
        t, "numbers-at-their-ends.json",
        R"({"status":"success","lat":1e300,"lon":-3.4e38,"offset":18446744073709551615,"query":"\u00e4\ud83d\ude00"})");
    // The object and a member together at the stores' nesting limit, and one level past it.
    for (const auto& [name, depth] : {std::pair{"nested-at-the-limit.json", JSON_STORE_MAX_DEPTH},
                                      std::pair{"nested-one-past-the-limit.json", JSON_STORE_MAX_DEPTH + 1}}) {
        seed(t, name,
             R"({"status":"success","x":)" + std::string(depth - 1, '[') + std::string(depth - 1, ']') +
                 R"(,"query":"192.0.2.1"})");
    }
    seed(t, "not-an-object.json", R"(["status","success"])");
    seed(t, "empty.json", "");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER (tests/fuzz/corpus)\n", argv[0]);
        return 2;
    }
    Root = argv[1];
    settings_seeds();
    ping_store_seeds();
    saga_store_seeds();
    mac_vendor_seeds();
    geolocation_seeds();
    std::printf("corpus_make: %d seeds written to %s\n", Written, Root.c_str());
    return 0;
}
