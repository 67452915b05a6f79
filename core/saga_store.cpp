// The session history "SX-Saga.json": the rows of the three session event lists, kept between runs.
#include "core/saga_store.h"

#include <atomic>
#include <climits>
#include <filesystem>
#include <system_error>

#include <nlohmann/json.hpp>

#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/file_io.h"
#include "runtime/json_store.h"
#include "runtime/list_model.h"
#include "runtime/text.h"

namespace {

constexpr int SESSION_LISTS[] = {LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS, LIST_STORAGE_MONITOR};

// Set by the first load: until then a save could only replace the stored history with this run's rows.
std::atomic<bool> load_attempted{false};
// A failed write is reported once until a write succeeds again.
std::atomic<bool> write_failure_reported{false};

std::wstring folder_part(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash + 1));
}

std::wstring text_of(const std::filesystem::path& path) {
#if defined(_WIN32)
    return path.wstring();
#else
    const std::u8string bytes = path.u8string();
    return wide_from_utf8(std::string(bytes.begin(), bytes.end()));
#endif
}

// The title of a list's first column; the Storage Monitor list box has none.
std::wstring list_title(int list) {
    if (list == LIST_SYSTEM_EVENTS) return tr(L"System Events");
    if (list == LIST_NETWORK_EVENTS) return tr(L"Network Events");
    return {};
}

// The name after "number~" in SAGA_LIST_NAMES, up to the next "~"; the Storage Monitor list falls back to its
// translated name before the main window has stored its names.
std::wstring list_fallback_name(int list) {
    const std::wstring names = shared_text(SAGA_LIST_NAMES);
    const std::wstring key = std::to_wstring(list) + L"~";
    const size_t at = names.find(key);
    if (at != std::wstring::npos) {
        const size_t start = at + key.size();
        const size_t end = names.find(L'~', start);
        return names.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    }
    return list == LIST_STORAGE_MONITOR ? tr(L"Storage Monitor") : std::wstring();
}

void report(const std::wstring& text) { event_line_add(LIST_SYSTEM_EVENTS, text); }

void rows_append(int list, std::vector<std::wstring> rows) {
    if (!rows.empty()) list_rows_trim_insert(list, INT_MAX, rows, INT_MAX);
}

void records_restore(const std::vector<SSys>& records) {
    for (const SSys& record : records) {
        for (const int list : SESSION_LISTS) {
            const std::wstring title = list_title(list);
            const std::wstring fallback = list_fallback_name(list);
            std::vector<std::wstring> rows;
            if (!title.empty() && record.Name == title) {
                for (const SValues& value : record.SV) {
                    if (!text_trim(value.L).empty()) rows.push_back(value.L);
                }
            } else if (!fallback.empty() && record.Name == fallback) {
                for (const SValues& value : record.SV) rows.push_back(value.L);
                if (list == LIST_STORAGE_MONITOR) SharedQuads[SAGA_SEPARATOR_COUNT] = record.Last > 0 ? record.Last : 0;
            } else {
                continue;
            }
            rows_append(list, std::move(rows));
            break;
        }
    }
}

// The rows of the three lists as records, the Storage Monitor list with its separator counter read together.
std::vector<SSys> records_collect() {
    std::vector<SSys> records;
    for (const int list : SESSION_LISTS) {
        std::vector<std::wstring> rows;
        int64_t last = 0;
        if (list == LIST_STORAGE_MONITOR) {
            rows = list_rows_copy_with(list, [&last] { last = SharedQuads[SAGA_SEPARATOR_COUNT].load(); });
        } else {
            rows = list_rows_copy(list);  // one consistent copy: no row saved twice or missed
            last = static_cast<int64_t>(rows.size());
        }
        if (rows.empty()) continue;
        SSys record;
        record.Name = list_title(list);
        if (record.Name.empty()) record.Name = list_fallback_name(list);
        record.Last = last;
        for (std::wstring& row : rows) {
            const size_t column_end = row.find(L'\n');
            if (column_end != std::wstring::npos) row.resize(column_end);
            record.SV.push_back({std::move(row)});
        }
        records.push_back(std::move(record));
    }
    return records;
}

// Reads a history file; false with the reason when it is missing, unreadable or not a history.
bool read_history(const std::wstring& path, std::string& bytes, std::vector<SSys>& records, std::wstring& why,
                  FileError& error) {
    if (!file_read_all(file_path(path), bytes, JSON_STORE_MAX_BYTES, &error)) {
        why = file_error_text(error, JSON_STORE_MAX_BYTES);
        return false;
    }
    return saga_records_parse(bytes, records, why);
}

void file_remove(const std::wstring& path) {
    std::error_code error;
    std::filesystem::remove(file_path(path), error);
}

}  // namespace

std::wstring saga_file_path() {
    std::wstring name;
    {
        std::lock_guard guard(DataFilesLock);
        name = DataFiles[DATA_FILE_SAGA].file_name;
    }
    return data_folder_path() + (name.empty() ? std::wstring(L"SX-Saga.json") : name);
}

std::wstring saga_backup_path(std::wstring_view path) {
    if (path.size() >= 5 && text_equal_nocase_ascii(path.substr(path.size() - 5), L".json")) {
        return std::wstring(path.substr(0, path.size() - 5)) + L".bak";
    }
    return std::wstring(path) + L".bak";
}

std::string saga_records_serialise(const std::vector<SSys>& records) {
    nlohmann::ordered_json root = nlohmann::ordered_json::array();
    for (const SSys& record : records) {
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        for (const SValues& value : record.SV) {
            nlohmann::ordered_json line = nlohmann::ordered_json::object();
            line["L"] = utf8_from_wide(value.L);
            lines.push_back(std::move(line));
        }
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        object["Name"] = utf8_from_wide(record.Name);
        object["Last"] = record.Last;
        object["SV"] = std::move(lines);
        root.push_back(std::move(object));
    }
    return root.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

bool saga_records_parse(std::string_view bytes, std::vector<SSys>& records, std::wstring& error) {
    nlohmann::json root;
    if (!json_parse_text(bytes, root, error)) return false;
    if (!root.is_array()) {
        error = L"the file does not hold a list of event lists";
        return false;
    }
    std::vector<SSys> result;
    for (const nlohmann::json& element : root) {
        SSys record;
        record.Name = json_get_text(element, "Name");
        record.Last = json_get_int64(element, "Last");
        if (element.is_object()) {
            const auto lines = element.find("SV");
            if (lines != element.end() && lines->is_array()) {
                for (const nlohmann::json& line : *lines) record.SV.push_back({json_get_text(line, "L")});
            }
        }
        result.push_back(std::move(record));
    }
    records = std::move(result);
    return true;
}

int saga_lists_load(const std::wstring& path) {
    load_attempted = true;
    const std::wstring backup = saga_backup_path(path);
    store_temporaries_remove(path);
    store_temporaries_remove(backup);
    std::string bytes;
    std::vector<SSys> records;
    std::wstring why;
    FileError error = FILE_OK;
    const bool read = read_history(path, bytes, records, why, error);
    bool have = read;

    if (!read && (error == FILE_MISSING || (error == FILE_OK && bytes.empty()))) {
        // A missing or empty history is replaced by its backup, which stays a backup as well.
        std::string backup_bytes;
        std::vector<SSys> backup_records;
        std::wstring backup_why;
        FileError backup_error = FILE_OK;
        if (read_history(backup, backup_bytes, backup_records, backup_why, backup_error)) {
            file_write_atomic(file_path(path), backup_bytes, false);
            records = std::move(backup_records);
            have = true;
        }
    } else if (!read && SharedInts[OPT_RESTORE_SESSION].load() == 1) {
        // Kept under another name, so that neither this run's save nor its backup step can destroy it.
        std::filesystem::path moved;
        const bool kept = file_set_aside(file_path(path), &moved);
        std::wstring text = L"Session history " + path + L" could not be read (" + why + L")";
        if (kept) text += L"; kept as " + text_of(moved);
        std::string backup_bytes;
        std::vector<SSys> backup_records;
        std::wstring backup_why;
        FileError backup_error = FILE_OK;
        if (read_history(backup, backup_bytes, backup_records, backup_why, backup_error)) {
            records = std::move(backup_records);
            have = true;
            text += L"; its backup copy was restored";
        } else {
            text += L"; the previous events are not restored";
        }
        report(text);
    }

    if (!have || SharedInts[OPT_RESTORE_SESSION].load() != 1) {
        data_folder_panel_refresh_request();
        return 0;
    }
    records_restore(records);
    data_folder_panel_refresh_request();
    return 1;
}

int saga_lists_save(const std::wstring& path) {
    const std::wstring backup = saga_backup_path(path);
    if (!folder_exists(folder_part(path))) {
        data_folder_panel_refresh_request();
        return 0;
    }
    const bool enabled = SharedInts[OPT_RESTORE_SESSION].load() == 1;
    // Before the load has run, the lists hold only this run's rows; saving them would lose the history.
    if (enabled && !load_attempted.load()) return 0;
    const std::vector<SSys> records = enabled ? records_collect() : std::vector<SSys>();
    if (records.empty()) {
        file_remove(path);
        file_remove(backup);
        data_folder_panel_refresh_request();
        return 0;
    }
    const auto is_history = [](const std::string& old_bytes) {
        std::vector<SSys> old_records;
        std::wstring why;
        return saga_records_parse(old_bytes, old_records, why);
    };
    if (!json_store_replace(file_path(path), file_path(backup), saga_records_serialise(records), is_history)) {
        if (!write_failure_reported.exchange(true)) {
            report(L"Session history could not be saved to " + path + L"; it will be saved again later");
        }
        data_folder_panel_refresh_request();
        return 0;
    }
    write_failure_reported = false;
    data_folder_panel_refresh_request();
    return 1;
}

void saga_store_reset() {
    load_attempted = false;
    write_failure_reported = false;
}
