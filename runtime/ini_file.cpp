// A UTF-8 INI file held in memory with its groups and keys in file order; parsing, writing, load and save.
#include "runtime/ini_file.h"

#include "runtime/text.h"

#include <unordered_map>
#include <unordered_set>

namespace {

bool is_space_or_tab(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view trim_spaces(std::wstring_view text) {
    while (!text.empty() && is_space_or_tab(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_space_or_tab(text.back())) text.remove_suffix(1);
    return text;
}

bool has_outer_blanks(std::wstring_view text) {
    return !text.empty() && (is_space_or_tab(text.front()) || is_space_or_tab(text.back()));
}

bool has_line_breaking(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != text.npos;
}

constexpr size_t NOT_FOUND = static_cast<size_t>(-1);

size_t group_index(const IniFile& ini, std::wstring_view name) {
    for (size_t i = 0; i < ini.Groups.size(); ++i) {
        if (text_equal_nocase_ascii(ini.Groups[i].Name, name)) return i;
    }
    return NOT_FOUND;
}

size_t key_index(const IniGroup& group, std::wstring_view name) {
    for (size_t i = 0; i < group.Keys.size(); ++i) {
        if (text_equal_nocase_ascii(group.Keys[i].Name, name)) return i;
    }
    return NOT_FOUND;
}

bool same_content(const IniFile& a, const IniFile& b) {
    if (a.Groups.size() != b.Groups.size()) return false;
    for (size_t g = 0; g < a.Groups.size(); ++g) {
        const IniGroup& left = a.Groups[g];
        const IniGroup& right = b.Groups[g];
        if (left.Name != right.Name || left.Keys.size() != right.Keys.size()) return false;
        for (size_t k = 0; k < left.Keys.size(); ++k) {
            if (left.Keys[k].Name != right.Keys[k].Name || left.Keys[k].Value != right.Keys[k].Value) return false;
        }
    }
    return true;
}

std::wstring line_error(size_t line, std::wstring_view what) {
    return L"line " + std::to_wstring(line) + L": " + std::wstring(what);
}

}  // namespace

bool ini_parse(std::string_view bytes, IniFile& ini, std::wstring& error) {
    if (bytes.size() > INI_MAX_BYTES) {
        error = L"the file is larger than " + std::to_wstring(INI_MAX_BYTES) + L" bytes";
        return false;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    IniFile result;
    size_t current = NOT_FOUND;  // index, as pointers into Groups would not survive its growth
    // Lookups by lower-cased name keep a file of many keys from taking quadratic time.
    std::unordered_map<std::wstring, size_t> groups_seen;
    std::unordered_set<std::wstring> keys_seen;  // group index, LF, lower-cased key
    size_t line_number = 0;
    while (!bytes.empty()) {
        ++line_number;
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == bytes.npos ? bytes.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.size() > INI_MAX_LINE_BYTES) {
            error = line_error(line_number, L"longer than " + std::to_wstring(INI_MAX_LINE_BYTES) + L" bytes");
            return false;
        }
        if (line.find('\0') != line.npos) {
            error = line_error(line_number, L"holds a NUL byte");
            return false;
        }
        if (line.find('\r') != line.npos) {
            error = line_error(line_number, L"holds a carriage return inside the line");
            return false;
        }
        if (!utf8_valid(line)) {
            error = line_error(line_number, L"not valid UTF-8");
            return false;
        }
        const std::wstring wide = wide_from_utf8(line);
        const std::wstring_view text = trim_spaces(wide);
        if (text.empty() || text.front() == L';' || text.front() == L'#') continue;
        if (text.front() == L'[') {
            if (text.back() != L']' || text.size() < 2) {
                error = line_error(line_number, L"a group line without its closing \"]\"");
                return false;
            }
            const std::wstring_view name = trim_spaces(text.substr(1, text.size() - 2));
            if (name.empty()) {
                error = line_error(line_number, L"a group line with an empty name");
                return false;
            }
            if (name.find(L']') != name.npos) {
                error = line_error(line_number, L"a group name holding \"]\"");
                return false;
            }
            const auto [seen, added] = groups_seen.emplace(text_lower_ascii(name), result.Groups.size());
            if (added) result.Groups.push_back(IniGroup{std::wstring(name), {}});
            current = seen->second;
            continue;
        }
        const size_t equals = text.find(L'=');
        if (equals == text.npos) {
            error = line_error(line_number, L"neither a group, a key line, a comment nor blank");
            return false;
        }
        const std::wstring_view key = trim_spaces(text.substr(0, equals));
        if (key.empty()) {
            error = line_error(line_number, L"a key line without a key");
            return false;
        }
        if (current == NOT_FOUND) {
            error = line_error(line_number, L"a key line before any group");
            return false;
        }
        // Windows INI files read the first of repeated keys; the later ones are dropped.
        if (keys_seen.insert(std::to_wstring(current) + L'\n' + text_lower_ascii(key)).second) {
            result.Groups[current].Keys.push_back(
                IniKey{std::wstring(key), std::wstring(trim_spaces(text.substr(equals + 1)))});
        }
    }
    ini = std::move(result);
    return true;
}

std::string ini_serialise(const IniFile& ini) {
    std::string out;
    for (size_t g = 0; g < ini.Groups.size(); ++g) {
        const IniGroup& group = ini.Groups[g];
        if (g > 0) out += "\r\n";
        out += '[';
        out += utf8_from_wide(group.Name);
        out += "]\r\n";
        for (const IniKey& key : group.Keys) {
            out += utf8_from_wide(key.Name);
            out += '=';
            out += utf8_from_wide(key.Value);
            out += "\r\n";
        }
    }
    return out;
}

const std::wstring* ini_find(const IniFile& ini, std::wstring_view group, std::wstring_view key) {
    const size_t g = group_index(ini, group);
    if (g == NOT_FOUND) return nullptr;
    const size_t k = key_index(ini.Groups[g], key);
    return k == NOT_FOUND ? nullptr : &ini.Groups[g].Keys[k].Value;
}

std::wstring ini_get(const IniFile& ini, std::wstring_view group, std::wstring_view key, std::wstring_view fallback) {
    const std::wstring* value = ini_find(ini, group, key);
    return value ? *value : std::wstring(fallback);
}

bool ini_set(IniFile& ini, std::wstring_view group, std::wstring_view key, std::wstring_view value) {
    if (group.empty() || has_outer_blanks(group) || has_line_breaking(group) || group.find(L']') != group.npos) {
        return false;
    }
    if (key.empty() || has_outer_blanks(key) || has_line_breaking(key) || key.find(L'=') != key.npos ||
        key.front() == L'[' || key.front() == L';' || key.front() == L'#') {
        return false;
    }
    if (has_outer_blanks(value) || has_line_breaking(value)) return false;
    // A lone UTF-16 surrogate would be written as U+FFFD and read back as another text.
    for (std::wstring_view text : {group, key, value}) {
        if (wide_from_utf8(utf8_from_wide(text)) != text) return false;
    }
    if (utf8_from_wide(key).size() + 1 + utf8_from_wide(value).size() > INI_MAX_LINE_BYTES ||
        utf8_from_wide(group).size() + 2 > INI_MAX_LINE_BYTES) {
        return false;
    }
    size_t g = group_index(ini, group);
    if (g == NOT_FOUND) {
        g = ini.Groups.size();
        ini.Groups.push_back(IniGroup{std::wstring(group), {}});
    }
    IniGroup& target = ini.Groups[g];
    const size_t k = key_index(target, key);
    if (k != NOT_FOUND) {
        target.Keys[k].Value = value;
    } else {
        target.Keys.push_back(IniKey{std::wstring(key), std::wstring(value)});
    }
    return true;
}

bool ini_remove(IniFile& ini, std::wstring_view group, std::wstring_view key) {
    const size_t g = group_index(ini, group);
    if (g == NOT_FOUND) return false;
    IniGroup& target = ini.Groups[g];
    const size_t k = key_index(target, key);
    if (k == NOT_FOUND) return false;
    target.Keys.erase(target.Keys.begin() + static_cast<std::ptrdiff_t>(k));
    return true;
}

bool ini_load(const std::filesystem::path& path, IniFile& ini, std::wstring& error, FileError* file_error) {
    FileError why = FILE_OK;
    std::string bytes;
    const bool read = file_read_all(path, bytes, INI_MAX_BYTES, &why);
    if (file_error) *file_error = why;
    if (!read) {
        error = file_error_text(why, INI_MAX_BYTES);
        return false;
    }
    if (!ini_parse(bytes, ini, error)) {
        if (file_error) *file_error = FILE_UNREADABLE;
        return false;
    }
    return true;
}

bool ini_save(const std::filesystem::path& path, const IniFile& ini, bool keep_backup) {
    // A model filled directly (not through ini_set) could hold names that do not read back; checking the
    // bytes here means a saved file always loads.
    const std::string bytes = ini_serialise(ini);
    IniFile check;
    std::wstring error;
    if (!ini_parse(bytes, check, error) || !same_content(check, ini)) return false;
    return file_write_atomic(path, bytes, keep_backup);
}
