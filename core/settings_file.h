// The settings file "Sotrix.ini": reading, writing, saving when changed, import and export.
#pragma once

#include <string>
#include <string_view>

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

// Reads the bytes of a settings file: with a byte-order mark as UTF-8, without one as UTF-8 when valid and
// otherwise as ANSI (Windows-1252); group and keys without regard to case; values trimmed; ";" comments.
// A missing key, or a missing "Sotrix" group, reads as the empty text. False, with a reason, when the bytes are
// not a settings file: a NUL byte, invalid UTF-8 after a byte-order mark, a line that is neither blank, a
// comment, a group nor a key, or text without the "Sotrix" group. Whitespace alone is an empty settings file.
bool settings_parse(std::string_view bytes, SettingsFileTexts& texts, std::wstring& error);

// Reads and applies the settings file at path. 1 when a settings file was there: read, or replaced by its
// ".bak" copy, or damaged and set aside (the settings then keep their defaults and the next save writes the file
// anew); an event line tells of the last two. 0 when there is no such file (or its folder) and no backup.
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
