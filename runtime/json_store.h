// JSON stores: loading and saving a JSON file without exceptions, and non-throwing typed getters for records.
#pragma once

#include "runtime/file_io.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
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

// The longest string or number a store's text may hold: a longer one is refused before the parser buffers it.
constexpr size_t JSON_STORE_MAX_TOKEN_BYTES = 1024 * 1024;

// A whole number of a JSON value in [low, high] (2.0 is 2; 2.5, texts and numbers out of range are not).
bool json_whole_number(const nlohmann::json& value, int64_t low, int64_t high, int64_t& out);

// The receiver of a store's text, event by event (json_store_read). A reader keeps only what its store needs, within
// the program's limits, so that no file can make it hold more.
class JsonStoreReader : public nlohmann::json_sax<nlohmann::json> {
public:
    // Why the text, though JSON, is not this store (the reader then returns false); empty when it is.
    std::wstring Refusal;
    // What the reader left out to stay within the program's limits; empty when it kept everything.
    std::wstring LeftOut;

    bool binary(binary_t&) override { return false; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }
};

enum JsonReadOutcome {
    JSON_READ_OK = 0,
    JSON_READ_EMPTY,       // no bytes at all
    JSON_READ_UNREADABLE,  // reading (or handing a chunk to copy) failed; the text may be fine
    JSON_READ_FAILED,      // not JSON, too large or deep, or refused by the reader; why says which
};
// Streams JSON text into reader through buffer, never holding more of the text than the buffer and one string or
// number (JSON_STORE_MAX_TOKEN_BYTES). read gives up to size bytes: their count, 0 at the end, -1 on a failure.
// Texts over max_bytes (0: no limit) or nested deeper than JSON_STORE_MAX_DEPTH fail. Each chunk read is also
// handed to copy when one is given; copy returning false ends the read as unreadable.
JsonReadOutcome json_store_read(const std::function<int64_t(char* data, size_t size)>& read, JsonStoreReader& reader,
                                std::span<char> buffer, size_t max_bytes, std::wstring& why,
                                const std::function<bool(const char* data, size_t size)>& copy = {});
// json_store_read over bytes in memory.
JsonReadOutcome json_store_read_bytes(std::string_view bytes, JsonStoreReader& reader, size_t max_bytes,
                                      std::wstring& why);

// Writes a store's compact JSON text piece by piece into a buffer that is handed to sink whenever it fills, so that
// the text is never whole in memory. Gives the bytes nlohmann::json::dump(-1) gives for the same values (UTF-8,
// escapes of the quotation mark, backslash and control characters only).
class JsonStoreWriter {
public:
    using Sink = std::function<bool(const char* data, size_t size)>;
    // allocating (when given) is told before the writer allocates and may refuse by throwing std::bad_alloc.
    JsonStoreWriter(Sink sink, const std::function<void(size_t bytes)>& allocating, size_t buffer_size = 65536);
    JsonStoreWriter(const JsonStoreWriter&) = delete;
    JsonStoreWriter& operator=(const JsonStoreWriter&) = delete;

    void raw(std::string_view bytes);
    void number(int64_t value);
    void text(std::wstring_view text);  // a JSON string
    // Hands the rest of the buffer to the sink; false when the sink refused anything.
    bool finish();
    bool failed() const { return Failed; }

private:
    void text_utf8(std::string_view utf8);
    void flush();

    Sink SinkCall;
    std::function<void(size_t)> Allocating;
    std::string Buffer;
    size_t Capacity;
    bool Failed = false;
};

// Writes the value through file_write_atomic, keeping the previous file as ".bak" when asked. Invalid
// UTF-8 in texts is written as U+FFFD rather than failing.
bool json_save(const std::filesystem::path& path, const nlohmann::json& value, bool keep_backup);

// A member of a record, or the fallback when the record is not an object, the member is missing, or it
// has another type. Integer getters take whole numbers only (2.0 is 2, 2.5 is the fallback) and give the
// fallback when the number does not fit the type.
int64_t json_get_int64(const nlohmann::json& record, std::string_view key, int64_t fallback = 0);
int32_t json_get_int32(const nlohmann::json& record, std::string_view key, int32_t fallback = 0);
double json_get_double(const nlohmann::json& record, std::string_view key, double fallback = 0.0);
bool json_get_bool(const nlohmann::json& record, std::string_view key, bool fallback = false);
// Text members are UTF-8 in the file and become wide texts.
std::wstring json_get_text(const nlohmann::json& record, std::string_view key, std::wstring_view fallback = {});
