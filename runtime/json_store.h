// JSON stores: loading and saving a JSON file without exceptions, and non-throwing typed getters for records.
#pragma once

#include "runtime/file_io.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

constexpr size_t JSON_STORE_MAX_BYTES = 64 * 1024 * 1024;
// Deeper input is refused before it reaches the parser: the stores are a few levels deep, and a value
// nested a hundred thousand times deep would overflow the stack when it is compared, copied or written.
constexpr int JSON_STORE_MAX_DEPTH = 64;

// Parses JSON text; false with a reason in error when the text is not JSON, holds invalid UTF-8, or is
// nested deeper than JSON_STORE_MAX_DEPTH. value is left as it was on failure.
bool json_parse_text(std::string_view bytes, nlohmann::json& value, std::wstring& error);

// Reads and parses a file of at most max_bytes. On failure value is left as it was, error says why, and
// file_error (when given) tells a missing file (FILE_MISSING) from one that exists but cannot be used.
bool json_load(const std::filesystem::path& path, nlohmann::json& value, std::wstring& error,
               FileError* file_error = nullptr, size_t max_bytes = JSON_STORE_MAX_BYTES);

// Writes the value through file_write_atomic, keeping the previous file as ".bak" when asked. Invalid
// UTF-8 in texts is written as U+FFFD rather than failing.
bool json_save(const std::filesystem::path& path, const nlohmann::json& value, bool keep_backup);

// Puts a store's new bytes in place of its file (file_write_atomic). The file there before becomes the backup
// only when is_store accepts its bytes, so a damaged file never replaces a good backup. False when the new
// bytes could not be written; the old file is then untouched.
bool json_store_replace(const std::filesystem::path& path, const std::filesystem::path& backup, std::string_view bytes,
                        const std::function<bool(const std::string& old_bytes)>& is_store);

// A member of a record, or the fallback when the record is not an object, the member is missing, or it
// has another type. Integer getters take whole numbers only (2.0 is 2, 2.5 is the fallback) and give the
// fallback when the number does not fit the type.
int64_t json_get_int64(const nlohmann::json& record, std::string_view key, int64_t fallback = 0);
int32_t json_get_int32(const nlohmann::json& record, std::string_view key, int32_t fallback = 0);
double json_get_double(const nlohmann::json& record, std::string_view key, double fallback = 0.0);
bool json_get_bool(const nlohmann::json& record, std::string_view key, bool fallback = false);
// Text members are UTF-8 in the file and become wide texts.
std::wstring json_get_text(const nlohmann::json& record, std::string_view key, std::wstring_view fallback = {});
