// The settings file "Sotrix.ini" as the program reads it: any bytes (UTF-8 with or without its mark, UTF-16 with or
// without a mark, ANSI) through settings_load, the settings code on what it read, and the file written back.
//
// Properties: what the reader takes, written and read again, reads the same; a file it refuses is set aside byte for
// byte and one it reads is left as it was; the settings in force are the code's values; the file the program then
// writes reads without a complaint and, read and written again, gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "core/control_numbers.h"
#include "core/settings_code.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "runtime/file_io.h"
#include "runtime/list_model.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool same_texts(const SettingsFileTexts& a, const SettingsFileTexts& b) {
    return a.Config == b.Config && a.Digits == b.Digits && a.Logpath == b.Logpath && a.ColorBar == b.ColorBar &&
           a.ColorCPU == b.ColorCPU && a.ColorGra == b.ColorGra && a.FilterDrv == b.FilterDrv &&
           a.FilterNic == b.FilterNic && a.EventLog == b.EventLog;
}

bool same_values(const SettingsCodeValues& a, const SettingsCodeValues& b) {
    return a.flags == b.flags && a.opacity_step == b.opacity_step && a.title_mode == b.title_mode &&
           a.long_idle_choice == b.long_idle_choice && a.ping_mode == b.ping_mode &&
           a.ping_slow_choice == b.ping_slow_choice && a.ping_interval_choice == b.ping_interval_choice &&
           a.byte_unit == b.byte_unit && a.eventlog_age_choice == b.eventlog_age_choice &&
           a.width_step == b.width_step && a.height_step == b.height_step &&
           a.compact_font_size == b.compact_font_size && a.ping_font_size == b.ping_font_size &&
           a.eventlog_font_size == b.eventlog_font_size;
}

// The texts as the file written from them reads back: the "no filter" values are not written.
SettingsFileTexts as_written(SettingsFileTexts texts) {
    if (texts.FilterDrv == L"0000-0000") texts.FilterDrv.clear();
    if (texts.FilterNic == L"00:00:00:00:00:00") texts.FilterNic.clear();
    return texts;
}

std::string bytes_of(const std::wstring& path) {
    std::string bytes;
    if (!file_read_all(file_path(path), bytes, 2 * SETTINGS_FILE_MAX_BYTES)) return "(missing)";
    return bytes;
}

void folder_empty(const std::wstring& folder) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(file_path(folder), ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

// The reader and the writer on their own.
void bytes_round_trip(std::string_view bytes) {
    SettingsFileTexts texts;
    std::wstring error;
    SettingsFileFaults faults;
    if (!settings_parse(bytes, texts, error, &faults)) {
        fuzz_require(!error.empty(), "a refused file has a reason");
        return;
    }
    for (const size_t line : faults.LeftOut) fuzz_require(line >= 1, "left-out lines count from 1");
    const std::string written = settings_serialise(texts);
    SettingsFileTexts again;
    SettingsFileFaults again_faults;
    fuzz_require(settings_parse(written, again, error, &again_faults), "the written file reads");
    fuzz_require(!again_faults.any(), "the written file reads without faults");
    fuzz_require(same_texts(again, as_written(texts)), "the written file reads as the texts it was written from");
    fuzz_require(settings_serialise(again) == written, "writing the texts read back gives the same bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bytes_round_trip(bytes);

    const FuzzFolders& folders = fuzz_program_reset();
    // The log folder becomes the program's whatever Logpath says: a folder named by the input is never written to.
    SharedInts[PORTABLE_MODE] = 1;
    folder_empty(folders.Data);
    const std::wstring path = folders.Data + L"Sotrix.ini";
    fuzz_require(file_write_atomic(file_path(path), bytes, false), "the input is written");

    SettingsFileTexts texts;
    std::wstring error;
    const bool readable = settings_parse(bytes, texts, error);
    SettingsCodeValues expected = settings_code_values_current();
    if (readable) settings_code_decode(texts.Config, expected);

    fuzz_require(settings_load(path) == 1, "a settings file that is there counts as read");
    if (readable) {
        fuzz_require(bytes_of(path) == bytes, "a file that was read is left as it was");
    } else {
        fuzz_require(!file_exists(file_path(path)), "a refused file is moved away");
        fuzz_require(bytes_of(path + L".bad") == bytes, "a refused file is set aside byte for byte");
    }
    fuzz_require(same_values(settings_code_values_current(), expected), "the settings in force are the code's");
    fuzz_require(
        settings_code_decode(settings_code_build(), expected) && same_values(settings_code_values_current(), expected),
        "the code of the settings in force reads as them");

    // The program's own file: read from the start-up state it gives no event line, and written again the same bytes.
    const std::wstring first = folders.Data + L"First.ini";
    const std::wstring second = folders.Data + L"Second.ini";
    fuzz_require(settings_export(first), "the settings are exported");
    fuzz_program_reset();
    SharedInts[PORTABLE_MODE] = 1;
    fuzz_require(settings_load(first) == 1, "the exported file is read");
    fuzz_require(list_rows_copy(LIST_SYSTEM_EVENTS).empty(), "the exported file reads without an event line");
    fuzz_require(settings_export(second), "the settings are exported again");
    fuzz_require(bytes_of(first) == bytes_of(second), "the exported file read and exported again is the same");
    return 0;
}
