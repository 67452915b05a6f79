// Whole-file reading and crash-safe replacement of files, for the program's stores.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Temporary names a save tries, each taken when a killed save left it behind, before it gives up.
inline constexpr int TEMPORARY_ATTEMPTS = 64;

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
// The wide text of a path, for messages: file_path's reverse.
std::wstring file_path_text(const std::filesystem::path& path);

// A file open for streaming reads or writes (file_open_read, file_temporary_create); file_close frees it.
struct OpenedFile;

// Opens an existing regular file for reading; nullptr with the reason in error (when given) otherwise.
OpenedFile* file_open_read(const std::filesystem::path& path, FileError* error = nullptr);
// Creates a new file next to target under a name no other save uses (target + "." + numbers + ".tmp"), for a
// crash-safe replacement of target; it gets the permissions of target where the system has them. nullptr on failure.
OpenedFile* file_temporary_create(const std::filesystem::path& target, std::filesystem::path* temp);
// Reads up to size bytes: the count, 0 at the end of the file, -1 on failure.
int64_t file_read(OpenedFile* file, char* data, size_t size);
// Writes all bytes; false on failure.
bool file_write(OpenedFile* file, const char* data, size_t size);
// Flushes the written bytes to the disk.
bool file_flush(OpenedFile* file);
// Closes and frees the file; false when the close reported an error (a late write error).
bool file_close(OpenedFile* file);
// Moves from over to (replacing it) so that the move survives a crash; false when it failed.
bool file_replace(const std::filesystem::path& from, const std::filesystem::path& to);
// Deletes a file; true when it is gone (a missing file counts as gone).
bool file_remove(const std::filesystem::path& path);

// The name a backup of path gets: path + ".bak".
inline std::filesystem::path file_backup_path(const std::filesystem::path& path) {
    std::filesystem::path backup = path;
    backup += L".bak";
    return backup;
}
