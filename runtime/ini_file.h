// A UTF-8 INI file held in memory with its groups and keys in file order; parsing, writing, load and save.
#pragma once

#include "runtime/file_io.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Limits that keep a damaged or hostile file from costing much memory or time; ini_save refuses what
// ini_parse would refuse, so a saved file always loads again.
constexpr size_t INI_MAX_BYTES = 1024 * 1024;
constexpr size_t INI_MAX_LINE_BYTES = 64 * 1024;

struct IniKey {
    std::wstring Name;
    std::wstring Value;
};

struct IniGroup {
    std::wstring Name;
    std::vector<IniKey> Keys;
};

struct IniFile {
    std::vector<IniGroup> Groups;
};

// Parses UTF-8 bytes: an optional byte-order mark; lines ending in LF or CR LF; "[Group]" lines;
// "key=value" lines with key and value trimmed of spaces and tabs; blank lines and lines starting with
// ";" or "#" are skipped. Group and key names compare without regard to ASCII case, as in Windows INI
// files; a repeated key keeps its first value and a repeated group continues the first one.
// Fails, leaving ini as it was and saying why in error ("line 7: ..."), on input above INI_MAX_BYTES, a
// line above INI_MAX_LINE_BYTES, invalid UTF-8, a NUL byte, a CR that does not end a line, a key line
// before any group, a group line without its "]" or with an empty name, a key line with an empty key,
// and any other line that is neither a group, a key line, a comment nor blank.
bool ini_parse(std::string_view bytes, IniFile& ini, std::wstring& error);

// The file as bytes: UTF-8 without byte-order mark, CR LF line ends, "[Group]" then "key=value" lines,
// one empty line between groups. A parsed file written this way gives the same bytes again.
std::string ini_serialise(const IniFile& ini);

// The value of a key, or nullptr / the fallback when the group or the key is missing.
const std::wstring* ini_find(const IniFile& ini, std::wstring_view group, std::wstring_view key);
std::wstring ini_get(const IniFile& ini, std::wstring_view group, std::wstring_view key,
                     std::wstring_view fallback = {});

// Sets a value, adding the group at the end of the file and the key at the end of its group when they are
// new. Refuses (false, nothing changed) what would not read back as written: empty names or names with
// blanks at either end, a group name with "]", a key with "=" or starting with "[", ";" or "#", any CR,
// LF or NUL, a value with spaces or tabs at either end, a lone UTF-16 surrogate, a line above
// INI_MAX_LINE_BYTES.
bool ini_set(IniFile& ini, std::wstring_view group, std::wstring_view key, std::wstring_view value);

// Removes a key; false when it was not there. The group stays, even when it is empty now.
bool ini_remove(IniFile& ini, std::wstring_view group, std::wstring_view key);

// Reads and parses a file. On failure ini is left as it was, error says why, and file_error (when given)
// tells a missing file (FILE_MISSING) from one that exists but cannot be used.
bool ini_load(const std::filesystem::path& path, IniFile& ini, std::wstring& error, FileError* file_error = nullptr);

// Writes the file through file_write_atomic; false when the write fails or the text exceeds INI_MAX_BYTES.
bool ini_save(const std::filesystem::path& path, const IniFile& ini, bool keep_backup = false);
