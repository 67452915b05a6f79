// JSON stores: loading and saving a JSON file without exceptions, and non-throwing typed getters for records.
#include "runtime/json_store.h"

#include "runtime/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <exception>
#include <new>
#include <system_error>

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

// A streaming parser of JSON text (RFC 8259, as strict as the library's own) that hands its values to a reader
// as they come. It holds the buffer, one string or number (at most JSON_STORE_MAX_TOKEN_BYTES) and the open
// containers (at most JSON_STORE_MAX_DEPTH), whatever the text. Written out rather than the library's parser
// because the stores are read chunk by chunk, and a full host list is read in seconds.
class StreamParser {
public:
    StreamParser(const std::function<int64_t(char*, size_t)>& read, std::span<char> buffer, size_t max_bytes,
                 const std::function<bool(const char*, size_t)>& copy, JsonStoreReader& reader)
        : Read(read), Buffer(buffer), MaxBytes(max_bytes), Copy(copy), Reader(reader) {}

    bool ReadFailed = false;
    bool CopyFailed = false;
    bool TooLarge = false;
    bool TooDeep = false;
    bool TooLong = false;
    uint64_t Total = 0;

    bool parse() {
        if (more() && static_cast<unsigned char>(*Pos) == 0xEF) {
            // A UTF-8 byte-order mark before the text.
            if (!literal("\xEF\xBB\xBF")) return false;
        }
        std::array<char, JSON_STORE_MAX_DEPTH> open{};
        int depth = 0;
        bool value_next = true;
        for (;;) {
            space_skip();
            if (value_next) {
                if (!more()) return false;
                const char c = *Pos;
                if (c == '{' || c == '[') {
                    ++Pos;
                    if (depth == JSON_STORE_MAX_DEPTH) {
                        TooDeep = true;
                        return false;
                    }
                    const bool object = c == '{';
                    if (!(object ? Reader.start_object(static_cast<std::size_t>(-1))
                                 : Reader.start_array(static_cast<std::size_t>(-1)))) {
                        return false;
                    }
                    open[depth++] = c;
                    space_skip();
                    if (more() && *Pos == (object ? '}' : ']')) {
                        ++Pos;
                        --depth;
                        if (!(object ? Reader.end_object() : Reader.end_array())) return false;
                        value_next = false;
                    } else if (object && !key_read()) {
                        return false;
                    }
                    continue;
                }
                if (!scalar_read(c)) return false;
                value_next = false;
                continue;
            }
            if (depth == 0) return !more();  // only white space after the text
            if (!more()) return false;
            const char c = *Pos++;
            const bool object = open[depth - 1] == '{';
            if (c == ',') {
                value_next = true;
                if (object && !key_read()) return false;
            } else if (c == (object ? '}' : ']')) {
                --depth;
                if (!(object ? Reader.end_object() : Reader.end_array())) return false;
            } else {
                return false;
            }
        }
    }

private:
    // Makes a byte available at Pos; false at the end of the text or when reading stopped.
    bool more() {
        if (Pos < End) return true;
        if (Stopped) return false;
        const int64_t got = Read(Buffer.data(), Buffer.size());
        if (got <= 0) {
            ReadFailed = got < 0;
            Stopped = true;
            return false;
        }
        const size_t count = static_cast<size_t>(got);
        Total += count;
        if (MaxBytes != 0 && Total > MaxBytes) {
            TooLarge = true;
            Stopped = true;
            return false;
        }
        if (Copy && !Copy(Buffer.data(), count)) {
            CopyFailed = true;
            Stopped = true;
            return false;
        }
        Pos = Buffer.data();
        End = Pos + count;
        return true;
    }

    void space_skip() {
        do {
            while (Pos < End && (*Pos == ' ' || *Pos == '\n' || *Pos == '\r' || *Pos == '\t')) ++Pos;
        } while (Pos == End && more());
    }

    bool literal(const char* word) {
        for (; *word != 0; ++word) {
            if (!more() || *Pos != *word) return false;
            ++Pos;
        }
        return true;
    }

    bool token_add(const char* from, size_t count) {
        if (Token.size() + count > JSON_STORE_MAX_TOKEN_BYTES) {
            TooLong = true;
            return false;
        }
        Token.append(from, count);
        return true;
    }

    // A member's name and its colon, after the "{" or the ",".
    bool key_read() {
        space_skip();
        if (!more() || *Pos != '"') return false;
        ++Pos;
        if (!string_read() || !Reader.key(Token)) return false;
        space_skip();
        if (!more() || *Pos != ':') return false;
        ++Pos;
        return true;
    }

    bool scalar_read(char c) {
        switch (c) {
            case '"': ++Pos; return string_read() && Reader.string(Token);
            case 't': return literal("true") && Reader.boolean(true);
            case 'f': return literal("false") && Reader.boolean(false);
            case 'n': return literal("null") && Reader.null();
            default: return (c == '-' || (c >= '0' && c <= '9')) && number_read();
        }
    }

    int hex_read() {
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            if (!more()) return -1;
            const char c = *Pos++;
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return -1;
            value = value * 16 + digit;
        }
        return value;
    }

    bool escape_read() {
        if (!more()) return false;
        const char c = *Pos++;
        char single = 0;
        switch (c) {
            case '"': single = '"'; break;
            case '\\': single = '\\'; break;
            case '/': single = '/'; break;
            case 'b': single = '\b'; break;
            case 'f': single = '\f'; break;
            case 'n': single = '\n'; break;
            case 'r': single = '\r'; break;
            case 't': single = '\t'; break;
            case 'u': break;
            default: return false;
        }
        if (c != 'u') return token_add(&single, 1);
        int code = hex_read();
        if (code < 0 || (code >= 0xDC00 && code <= 0xDFFF)) return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
            // The first half of a pair: the second must follow as an escape of its own.
            if (!literal("\\u")) return false;
            const int low = hex_read();
            if (low < 0xDC00 || low > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        char utf8[4];
        size_t count = 0;
        if (code < 0x80) {
            utf8[count++] = static_cast<char>(code);
        } else if (code < 0x800) {
            utf8[count++] = static_cast<char>(0xC0 | (code >> 6));
            utf8[count++] = static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8[count++] = static_cast<char>(0xE0 | (code >> 12));
            utf8[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8[count++] = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8[count++] = static_cast<char>(0xF0 | (code >> 18));
            utf8[count++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            utf8[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8[count++] = static_cast<char>(0x80 | (code & 0x3F));
        }
        return token_add(utf8, count);
    }

    // The rest of a string after its opening quotation mark, into Token; the UTF-8 must be valid.
    bool string_read() {
        Token.clear();
        for (;;) {
            if (!more()) return false;
            const char* run = Pos;
            while (Pos < End && *Pos != '"' && *Pos != '\\' && static_cast<unsigned char>(*Pos) >= 0x20) ++Pos;
            if (!token_add(run, static_cast<size_t>(Pos - run))) return false;
            if (Pos == End) continue;
            const char c = *Pos++;
            if (c == '"') return utf8_valid(Token);
            if (c != '\\' || !escape_read()) return false;  // a control character must be escaped
        }
    }

    bool number_read() {
        // The common case read at once: an integer of up to 19 digits that ends within the buffer.
        {
            const char* c = Pos;
            const bool negative = *c == '-';
            if (negative) ++c;
            const char* digits_start = c;
            uint64_t value = 0;
            while (c < End && *c >= '0' && *c <= '9' && c - digits_start < 19) {
                value = value * 10 + static_cast<uint64_t>(*c++ - '0');
            }
            const auto count = c - digits_start;
            if (c < End && count > 0 && (*digits_start != '0' || count == 1) && *c != '.' && *c != 'e' && *c != 'E' &&
                *c != '-' && *c != '+' && !(*c >= '0' && *c <= '9') && (!negative || value <= (uint64_t{1} << 63))) {
                Pos = c;
                if (!negative) return Reader.number_unsigned(value);
                return Reader.number_integer(value == (uint64_t{1} << 63) ? INT64_MIN : -static_cast<int64_t>(value));
            }
        }
        Token.clear();
        for (;;) {
            const char* run = Pos;
            while (Pos < End && ((*Pos >= '0' && *Pos <= '9') || *Pos == '-' || *Pos == '+' || *Pos == '.' ||
                                 *Pos == 'e' || *Pos == 'E')) {
                ++Pos;
            }
            if (!token_add(run, static_cast<size_t>(Pos - run))) return false;
            if (Pos < End || !more()) break;
        }
        // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
        const char* c = Token.data();
        const char* const end = c + Token.size();
        auto digits = [&c, end] {
            const char* start = c;
            while (c < end && *c >= '0' && *c <= '9') ++c;
            return c - start;
        };
        if (c < end && *c == '-') ++c;
        const char* whole = c;
        const auto whole_digits = digits();
        if (whole_digits == 0 || (*whole == '0' && whole_digits > 1)) return false;
        bool integer = true;
        if (c < end && *c == '.') {
            ++c;
            integer = false;
            if (digits() == 0) return false;
        }
        if (c < end && (*c == 'e' || *c == 'E')) {
            ++c;
            integer = false;
            if (c < end && (*c == '+' || *c == '-')) ++c;
            if (digits() == 0) return false;
        }
        if (c != end) return false;
        const char* first = Token.data();
        if (integer) {
            if (*first == '-') {
                int64_t value = 0;
                if (std::from_chars(first, end, value).ec == std::errc()) return Reader.number_integer(value);
            } else {
                uint64_t value = 0;
                if (std::from_chars(first, end, value).ec == std::errc()) return Reader.number_unsigned(value);
            }
        }
        // Fractions, exponents and integers too long for 64 bits.
        double value = 0.0;
        const auto [at, error] = std::from_chars(first, end, value);
        if (error == std::errc::result_out_of_range) {
            // Too small becomes zero; too large is refused, as the library refuses it.
            if (!underflows(first, end)) return false;
            value = *first == '-' ? -0.0 : 0.0;
        } else if (error != std::errc() || at != end) {
            return false;
        }
        if (!std::isfinite(value)) return false;
        return Reader.number_float(value, Token);
    }

    // Whether a number out of the range of double (grammar checked) is too small rather than too large: the
    // power of ten of its first significant digit.
    static bool underflows(const char* c, const char* end) {
        if (*c == '-') ++c;
        int64_t power = 0;
        if (*c == '0') {
            ++c;
            if (c < end && *c == '.') {
                ++c;
                while (c < end && *c == '0') {
                    --power;
                    ++c;
                }
            }
        } else {
            while (c < end && *c >= '0' && *c <= '9') {
                ++power;
                ++c;
            }
        }
        while (c < end && *c != 'e' && *c != 'E') ++c;
        if (c < end) {
            ++c;
            if (c < end && *c == '+') ++c;
            int64_t exponent = 0;
            if (std::from_chars(c, end, exponent).ec == std::errc::result_out_of_range)
                exponent = *c == '-' ? INT32_MIN : INT32_MAX;
            power += exponent;
        }
        return power <= 0;
    }

    const std::function<int64_t(char*, size_t)>& Read;
    std::span<char> Buffer;
    size_t MaxBytes;
    const std::function<bool(const char*, size_t)>& Copy;
    JsonStoreReader& Reader;
    const char* Pos = nullptr;
    const char* End = nullptr;
    bool Stopped = false;
    std::string Token;
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
    StreamParser input(read, buffer, max_bytes, copy, reader);
    const bool parsed = input.parse();
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
