// JSON stores: loading and saving a JSON file without exceptions, and non-throwing typed getters for records.
#include "runtime/json_store.h"

#include "runtime/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <istream>
#include <new>
#include <streambuf>

namespace {

// The deepest nesting of arrays and objects in the text, counting brackets outside strings; stops early
// once the limit is passed. Unbalanced brackets are left for the parser to refuse.
bool json_depth_within(std::string_view bytes, int limit) {
    int depth = 0;
    bool in_string = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (in_string) {
            if (c == '\\') {
                ++i;  // the escaped character cannot end the string
            } else if (c == '"') {
                in_string = false;
            }
            continue;
        }
        if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return false;
        } else if (c == ']' || c == '}') {
            if (depth > 0) --depth;
        }
    }
    return true;
}

const nlohmann::json* member(const nlohmann::json& record, std::string_view key) {
    if (!record.is_object()) return nullptr;
    const auto it = record.find(std::string(key));
    return it == record.end() ? nullptr : &*it;
}

}  // namespace

bool json_whole_number(const nlohmann::json& value, int64_t low, int64_t high, int64_t& out) {
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        const int64_t number = value.get<int64_t>();
        if (number < low || number > high) return false;
        out = number;
        return true;
    }
    if (value.is_number_unsigned()) {
        const uint64_t number = value.get<uint64_t>();
        if (high < 0 || number > static_cast<uint64_t>(high)) return false;
        out = static_cast<int64_t>(number);
        return true;
    }
    if (value.is_number_float()) {
        const double number = value.get<double>();
        // Bounds are tested in double before converting: converting an out-of-range double is undefined.
        // 2^63 is exact in double; int64 values up to it are all below it.
        if (!std::isfinite(number) || number != std::trunc(number)) return false;
        if (number < -9223372036854775808.0 || number >= 9223372036854775808.0) return false;
        const int64_t whole = static_cast<int64_t>(number);
        if (whole < low || whole > high) return false;
        out = whole;
        return true;
    }
    return false;
}

namespace {

// The text as the parser may see it: a stream over read that stops at the first byte past a limit (the
// whole size, the nesting depth, the length of one string or number), so the parser never buffers more.
class BoundedInput : public std::streambuf {
public:
    BoundedInput(const std::function<int64_t(char*, size_t)>& read, std::span<char> buffer, size_t max_bytes,
                 const std::function<bool(const char*, size_t)>& copy)
        : Read(read), Buffer(buffer), MaxBytes(max_bytes), Copy(copy) {}

    bool ReadFailed = false;
    bool CopyFailed = false;
    bool TooLarge = false;
    bool TooDeep = false;
    bool TooLong = false;
    uint64_t Total = 0;

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (Stopped) return traits_type::eof();
        const int64_t got = Read(Buffer.data(), Buffer.size());
        if (got <= 0) {
            ReadFailed = got < 0;
            Stopped = true;
            return traits_type::eof();
        }
        const size_t count = static_cast<size_t>(got);
        Total += count;
        if (MaxBytes != 0 && Total > MaxBytes) {
            TooLarge = true;
            Stopped = true;
            return traits_type::eof();
        }
        if (Copy && !Copy(Buffer.data(), count)) {
            CopyFailed = true;
            Stopped = true;
            return traits_type::eof();
        }
        const size_t allowed = scan(Buffer.data(), count);
        if (allowed < count) Stopped = true;
        setg(Buffer.data(), Buffer.data(), Buffer.data() + allowed);
        return allowed == 0 ? traits_type::eof() : traits_type::to_int_type(Buffer[0]);
    }

private:
    // The bytes before the first one past a limit.
    size_t scan(const char* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const char c = bytes[i];
            if (InString) {
                if (++Run > JSON_STORE_MAX_TOKEN_BYTES) {
                    TooLong = true;
                    return i;
                }
                if (Escaped) {
                    Escaped = false;
                } else if (c == '\\') {
                    Escaped = true;
                } else if (c == '"') {
                    InString = false;
                }
                continue;
            }
            switch (c) {
                case '"':
                    InString = true;
                    Run = 0;
                    break;
                case '[':
                case '{':
                    Run = 0;
                    if (++Depth > JSON_STORE_MAX_DEPTH) {
                        TooDeep = true;
                        return i;
                    }
                    break;
                case ']':
                case '}':
                    Run = 0;
                    if (Depth > 0) --Depth;
                    break;
                case ',':
                case ':':
                case ' ':
                case '\t':
                case '\n':
                case '\r': Run = 0; break;
                default:
                    if (++Run > JSON_STORE_MAX_TOKEN_BYTES) {
                        TooLong = true;
                        return i;
                    }
            }
        }
        return count;
    }

    const std::function<int64_t(char*, size_t)>& Read;
    std::span<char> Buffer;
    size_t MaxBytes;
    const std::function<bool(const char*, size_t)>& Copy;
    bool Stopped = false;
    bool InString = false;
    bool Escaped = false;
    int Depth = 0;
    size_t Run = 0;
};

constexpr char HEX_DIGITS[] = "0123456789abcdef";

}  // namespace

bool json_parse_text(std::string_view bytes, nlohmann::json& value, std::wstring& error) {
    if (!json_depth_within(bytes, JSON_STORE_MAX_DEPTH)) {
        error = L"nested deeper than " + std::to_wstring(JSON_STORE_MAX_DEPTH) + L" levels";
        return false;
    }
    try {
        nlohmann::json parsed = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
        if (parsed.is_discarded()) {
            error = bytes.empty() ? L"the file is empty" : L"not valid JSON";
            return false;
        }
        value = std::move(parsed);
        return true;
    } catch (const std::exception&) {
        // Only running out of memory can end up here; the non-throwing parse reports everything else.
        error = L"not enough memory to read the JSON text";
        return false;
    }
}

bool json_load(const std::filesystem::path& path, nlohmann::json& value, std::wstring& error, FileError* file_error,
               size_t max_bytes) {
    FileError why = FILE_OK;
    std::string bytes;
    const bool read = file_read_all(path, bytes, max_bytes, &why);
    if (file_error) *file_error = why;
    if (!read) {
        error = file_error_text(why, max_bytes);
        return false;
    }
    if (!json_parse_text(bytes, value, error)) {
        if (file_error) *file_error = FILE_UNREADABLE;
        return false;
    }
    return true;
}

bool json_save(const std::filesystem::path& path, const nlohmann::json& value, bool keep_backup) {
    std::string bytes;
    try {
        bytes = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    } catch (const std::exception&) {
        return false;
    }
    bytes += '\n';
    return file_write_atomic(path, bytes, keep_backup);
}

int64_t json_get_int64(const nlohmann::json& record, std::string_view key, int64_t fallback) {
    const nlohmann::json* value = member(record, key);
    int64_t out = 0;
    if (value == nullptr || !json_whole_number(*value, INT64_MIN, INT64_MAX, out)) return fallback;
    return out;
}

int32_t json_get_int32(const nlohmann::json& record, std::string_view key, int32_t fallback) {
    const nlohmann::json* value = member(record, key);
    int64_t out = 0;
    if (value == nullptr || !json_whole_number(*value, INT32_MIN, INT32_MAX, out)) return fallback;
    return static_cast<int32_t>(out);
}

double json_get_double(const nlohmann::json& record, std::string_view key, double fallback) {
    const nlohmann::json* value = member(record, key);
    if (value == nullptr || !value->is_number()) return fallback;
    return value->get<double>();
}

bool json_get_bool(const nlohmann::json& record, std::string_view key, bool fallback) {
    const nlohmann::json* value = member(record, key);
    if (value == nullptr || !value->is_boolean()) return fallback;
    return value->get<bool>();
}

std::wstring json_get_text(const nlohmann::json& record, std::string_view key, std::wstring_view fallback) {
    const nlohmann::json* value = member(record, key);
    if (value == nullptr || !value->is_string()) return std::wstring(fallback);
    return wide_from_utf8(value->get_ref<const std::string&>());
}

JsonReadOutcome json_store_read(const std::function<int64_t(char*, size_t)>& read, JsonStoreReader& reader,
                                std::span<char> buffer, size_t max_bytes, std::wstring& why,
                                const std::function<bool(const char*, size_t)>& copy) {
    BoundedInput input(read, buffer, max_bytes, copy);
    std::istream stream(&input);
    const bool parsed = nlohmann::json::sax_parse(stream, &reader, nlohmann::json::input_format_t::json, true);
    if (input.ReadFailed || input.CopyFailed) {
        why = input.ReadFailed ? file_error_text(FILE_UNREADABLE, max_bytes) : L"its copy could not be written";
        return JSON_READ_UNREADABLE;
    }
    if (input.TooLarge) {
        why = file_error_text(FILE_TOO_LARGE, max_bytes);
    } else if (input.TooDeep) {
        why = L"nested deeper than " + std::to_wstring(JSON_STORE_MAX_DEPTH) + L" levels";
    } else if (input.TooLong) {
        why = L"a text or number is longer than " + std::to_wstring(JSON_STORE_MAX_TOKEN_BYTES) + L" bytes";
    } else if (input.Total == 0) {
        why = L"the file is empty";
        return JSON_READ_EMPTY;
    } else if (!parsed) {
        why = reader.Refusal.empty() ? L"not valid JSON" : reader.Refusal;
    } else {
        return JSON_READ_OK;
    }
    return JSON_READ_FAILED;
}

JsonReadOutcome json_store_read_bytes(std::string_view bytes, JsonStoreReader& reader, size_t max_bytes,
                                      std::wstring& why) {
    size_t offset = 0;
    const std::function<int64_t(char*, size_t)> read = [&](char* data, size_t size) {
        const size_t count = std::min(size, bytes.size() - offset);
        std::copy_n(bytes.data() + offset, count, data);
        offset += count;
        return static_cast<int64_t>(count);
    };
    std::array<char, 4096> buffer;
    return json_store_read(read, reader, buffer, max_bytes, why);
}

JsonStoreWriter::JsonStoreWriter(Sink sink, const std::function<void(size_t)>& allocating, size_t buffer_size)
    : SinkCall(std::move(sink)), Allocating(allocating), Capacity(buffer_size) {
    if (Allocating) Allocating(Capacity);
    Buffer.reserve(Capacity);
}

void JsonStoreWriter::flush() {
    if (!Failed && !Buffer.empty() && !SinkCall(Buffer.data(), Buffer.size())) Failed = true;
    Buffer.clear();
}

void JsonStoreWriter::raw(std::string_view bytes) {
    if (Failed) return;
    if (Buffer.size() + bytes.size() > Capacity) flush();
    if (bytes.size() >= Capacity) {
        if (!SinkCall(bytes.data(), bytes.size())) Failed = true;
        return;
    }
    Buffer.append(bytes);
}

void JsonStoreWriter::number(int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    raw(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void JsonStoreWriter::text(std::wstring_view text) {
    if (Allocating) Allocating(text.size() * 4);
    text_utf8(utf8_from_wide(text));
}

void JsonStoreWriter::text_utf8(std::string_view utf8) {
    if (!utf8_valid(utf8)) {
        // Not reached for texts made by utf8_from_wide; the library's replacement keeps the bytes the same.
        raw(nlohmann::json(std::string(utf8)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
        return;
    }
    raw("\"");
    size_t plain = 0;  // start of the bytes not yet written
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        raw(utf8.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
            case '"': raw("\\\""); break;
            case '\\': raw("\\\\"); break;
            case '\b': raw("\\b"); break;
            case '\t': raw("\\t"); break;
            case '\n': raw("\\n"); break;
            case '\f': raw("\\f"); break;
            case '\r': raw("\\r"); break;
            default: {
                const char escape[6] = {'\\', 'u', '0', '0', HEX_DIGITS[c >> 4], HEX_DIGITS[c & 15]};
                raw(std::string_view(escape, sizeof escape));
            }
        }
    }
    raw(utf8.substr(plain));
    raw("\"");
}

bool JsonStoreWriter::finish() {
    flush();
    return !Failed;
}
