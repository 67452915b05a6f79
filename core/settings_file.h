// The settings file "Sotrix.ini": reading, writing, saving when changed, import and export.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The most a settings file may hold: a larger file is no settings file (it is not read at all).
constexpr size_t SETTINGS_FILE_MAX_BYTES = 1024 * 1024;

// The nine stored texts as they stand in the file (an empty text: the key is not written).
struct SettingsFileTexts {
    std::wstring Config;
    std::wstring Digits;
    std::wstring Logpath;
    std::wstring ColorBar;
    std::wstring ColorCPU;
    std::wstring ColorGra;
    std::wstring FilterDrv;
    std::wstring FilterNic;
    std::wstring EventLog;
};

// The file's bytes: UTF-8 byte-order mark, CR LF (an empty first line), "[Sotrix]", then "Key = value" lines in
// the order above, each ending in CR LF; a key only when its text is not empty (FilterDrv not "0000-0000",
// FilterNic not "00:00:00:00:00:00"). Line breaks inside a value are dropped, blanks around it trimmed.
std::string settings_serialise(const SettingsFileTexts& texts);

// What a settings file held besides clean settings, for one note in System Events; empty for a clean file.
struct SettingsFileFaults {
    // Numbers (from 1) of the lines left out in whole or in part: text that is neither a group line, a key line, a
    // comment nor blank; an unknown key; a key above "[Sotrix]"; text after a group line's "]"; a line that is not
    // text in the file's encoding or holds control characters.
    std::vector<size_t> LeftOut;
    // No "[Sotrix]" line, and the keys above the first group (or in a file without groups) were read as its keys.
    bool KeysWithoutGroup = false;
    // No "[Sotrix]" group and no key outside a group: every key reads as empty.
    bool GroupMissing = false;

    bool any() const { return !LeftOut.empty() || KeysWithoutGroup || GroupMissing; }
};

// Reads the bytes of a settings file, keeping every setting it can. Encodings: UTF-16 (LE or BE) after its
// byte-order mark; UTF-8 after its mark; without a mark UTF-8 when the whole file is valid UTF-8, otherwise the
// system's ANSI code page. Lines end in CR LF, LF or CR. Group and keys compare without regard to case; values are
// trimmed of spaces and tabs; ";" starts a comment line; the first of two equal keys counts. A missing key, or a
// missing "Sotrix" group, reads as the empty text; lines that cannot be read are left out and listed in faults.
// False, with a reason and texts and faults as they were, only when nothing in the bytes reads as settings: above
// SETTINGS_FILE_MAX_BYTES, a NUL byte without a UTF-16 mark, or text without a single group line or key line. Blank
// lines and comments alone are an empty settings file.
bool settings_parse(std::string_view bytes, SettingsFileTexts& texts, std::wstring& error,
                    SettingsFileFaults* faults = nullptr);

// Reads and applies the settings file at path. 1 when a settings file was there: read, or replaced by its
// ".bak" copy, or damaged and set aside (the settings then keep their defaults and the next save writes the file
// anew); an event line tells of the last two. A file read with lines left out (SettingsFileFaults) gets one event
// line, and the next save writes it anew, the user's file kept as its ".bak". 0 when there is no such file (or its
// folder) and no backup.
int settings_load(const std::wstring& path);

// Writes all settings to path, the previous file kept as path + ".bak". False when the folder is missing or the
// write failed; the old file is then untouched.
bool settings_save(const std::wstring& path);

// Rebuilds the current texts and writes the data folder's settings file when one differs from its last-saved
// copy, after an import, or when the last write failed or the file was damaged. Only a successful write marks
// the texts as saved; a failure adds an event line and the next call tries again. True when nothing needed
// writing or the write succeeded. Main thread.
bool settings_save_if_changed();

// Import: reads a chosen file as settings_load does, sets the Settings tab's controls, sizes the log buffer,
// and makes the next settings_save_if_changed write the data folder's file. False when the file was not read.
bool settings_import(const std::wstring& path);
// Export: writes the current settings to a chosen file; the last-saved copies stay as they are.
bool settings_export(const std::wstring& path);

// The data folder's settings file.
std::wstring settings_file_path();

// Forgets the pending-write state (tests and start-up).
void settings_file_reset();
