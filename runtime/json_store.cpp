// JSON stores: loading and saving a JSON file without exceptions, and non-throwing typed getters for records.
#include "runtime/json_store.h"

#include "runtime/text.h"

#include <cmath>
#include <exception>

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

bool whole_number(const nlohmann::json& value, int64_t low, int64_t high, int64_t& out) {
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

bool json_store_replace(const std::filesystem::path& path, const std::filesystem::path& backup, std::string_view bytes,
                        const std::function<bool(const std::string& old_bytes)>& is_store) {
    std::string old_bytes;
    if (file_read_all(path, old_bytes, JSON_STORE_MAX_BYTES) && is_store(old_bytes)) {
        file_write_atomic(backup, old_bytes, false);
    }
    return file_write_atomic(path, bytes, false);
}

int64_t json_get_int64(const nlohmann::json& record, std::string_view key, int64_t fallback) {
    const nlohmann::json* value = member(record, key);
    int64_t out = 0;
    if (value == nullptr || !whole_number(*value, INT64_MIN, INT64_MAX, out)) return fallback;
    return out;
}

int32_t json_get_int32(const nlohmann::json& record, std::string_view key, int32_t fallback) {
    const nlohmann::json* value = member(record, key);
    int64_t out = 0;
    if (value == nullptr || !whole_number(*value, INT32_MIN, INT32_MAX, out)) return fallback;
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
