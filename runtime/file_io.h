// Whole-file reading and crash-safe replacement of files, for the program's stores.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

enum FileError {
    FILE_OK = 0,
    FILE_MISSING,     // no such file (or its folder is missing)
    FILE_UNREADABLE,  // exists but cannot be opened or read, or is not a regular file
    FILE_TOO_LARGE,   // larger than the limit the caller gave
};

// Reads the whole file into bytes. Fails on a missing, unreadable or over-large file; bytes is left as it
// was then, and error (when given) says why.
bool file_read_all(const std::filesystem::path& path, std::string& bytes, size_t max_bytes, FileError* error = nullptr);

// A short English description of a failed read, for error texts ("the file does not exist").
std::wstring file_error_text(FileError error, size_t max_bytes);

// Replaces the file so that a crash at any moment leaves either the whole old or the whole new file: the
// bytes go to a temporary file in the same folder, are flushed to disk, and the temporary is then moved
// over the target. With keep_backup a copy of the previous file becomes name + ".bak" (replacing an
// older one) before the move. On any failure the old file is untouched, the temporary removed, and the
// result is false.
bool file_write_atomic(const std::filesystem::path& path, std::string_view bytes, bool keep_backup);

// Renames a file that could not be used aside, to name + ".bad" or, when that is taken, name + ".bad2",
// ".bad3"..., so that a later save cannot destroy it. moved_to (when given) receives the new name.
bool file_set_aside(const std::filesystem::path& path, std::filesystem::path* moved_to = nullptr);

// True when path names an existing file that is not a folder.
bool file_exists(const std::filesystem::path& path);

// A path from a wide text. Natively the text becomes UTF-8 bytes, which the path constructor from a wide
// text would instead convert through the C locale and fail on (throwing) for any non-ASCII character.
std::filesystem::path file_path(std::wstring_view text);

// The name a backup of path gets: path + ".bak".
inline std::filesystem::path file_backup_path(const std::filesystem::path& path) {
    std::filesystem::path backup = path;
    backup += L".bak";
    return backup;
}
