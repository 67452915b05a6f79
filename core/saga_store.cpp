// The session history "SX-Saga.json": the rows of the three session event lists, kept between runs.
#include "core/saga_store.h"

#include <climits>
#include <new>

#include <nlohmann/json.hpp>

#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/event_lists.h"
#include "core/json_file_store.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/file_io.h"
#include "runtime/json_store.h"
#include "runtime/list_model.h"
#include "runtime/text.h"

namespace {

constexpr int SESSION_LISTS[] = {LIST_SYSTEM_EVENTS, LIST_NETWORK_EVENTS, LIST_STORAGE_MONITOR};

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

// Reads the history event by event: every element of the root array is a record, every element of its "SV" a
// line; a member that is missing or of another type gives an empty text, 0 or no lines, and of a member given twice
// the last one counts. The file's size bounds what it keeps.
class SagaRecordsReader : public JsonStoreReader {
public:
    explicit SagaRecordsReader(bool keep) : Keep(keep) {}

    std::vector<SSys> Records;

    bool null() override { return scalar(nullptr); }
    bool boolean(bool value) override { return scalar(value); }
    bool number_integer(number_integer_t value) override { return scalar(value); }
    bool number_unsigned(number_unsigned_t value) override { return scalar(value); }
    bool number_float(number_float_t value, const string_t&) override { return scalar(value); }
    bool string(string_t& value) override {
        if (!element_begin()) return false;
        if (top() == RECORD && Member == NAME) Records.back().Name = wide_from_utf8(value);
        if (top() == LINE && LineText) Records.back().SV.back().L = wide_from_utf8(value);
        return true;
    }
    bool start_object(std::size_t) override {
        if (Stack.empty()) return refuse();
        if (!element_begin()) return false;
        const Context at = top();
        Stack.push_back(Keep && at == ROOT ? RECORD : at == LINES ? LINE : SKIP);
        return true;
    }
    bool start_array(std::size_t) override {
        if (Stack.empty()) {
            Stack.push_back(ROOT);
            return true;
        }
        if (!element_begin()) return false;
        Stack.push_back(top() == RECORD && Member == LINES_MEMBER ? LINES : SKIP);
        return true;
    }
    bool end_object() override {
        Stack.pop_back();
        return true;
    }
    bool end_array() override {
        Stack.pop_back();
        return true;
    }
    bool key(string_t& key) override {
        if (top() == RECORD) {
            SSys& record = Records.back();
            Member = key == "Name" ? NAME : key == "Last" ? LAST : key == "SV" ? LINES_MEMBER : OTHER;
            if (Member == NAME) record.Name.clear();
            if (Member == LAST) record.Last = 0;
            if (Member == LINES_MEMBER) record.SV.clear();
        } else if (top() == LINE) {
            LineText = key == "L";
            if (LineText) Records.back().SV.back().L.clear();
        }
        return true;
    }

private:
    enum Context { SKIP, ROOT, RECORD, LINES, LINE };
    enum RecordMember { OTHER, NAME, LAST, LINES_MEMBER };

    Context top() const { return Stack.empty() ? SKIP : Stack.back(); }

    bool refuse() {
        Refusal = L"the file does not hold a list of event lists";
        return false;
    }

    // A value starts: in the root array it is the next record, in a record's "SV" the next line.
    bool element_begin() {
        if (Stack.empty()) return refuse();
        if (top() == ROOT && Keep) Records.emplace_back();
        if (top() == LINES) Records.back().SV.emplace_back();
        return true;
    }

    bool scalar(const nlohmann::json& value) {
        if (!element_begin()) return false;
        int64_t number = 0;
        if (top() == RECORD && Member == LAST && json_whole_number(value, INT64_MIN, INT64_MAX, number)) {
            Records.back().Last = number;
        }
        return true;
    }

    bool Keep;
    std::vector<Context> Stack;
    RecordMember Member = OTHER;
    bool LineText = false;
};

JsonFileStore& file_store() {
    static JsonFileStore store(JsonStoreFormat{
        L"Session history", report, JSON_STORE_MAX_BYTES,
        [](bool keep) -> std::unique_ptr<JsonStoreReader> { return std::make_unique<SagaRecordsReader>(keep); }});
    return store;
}

void records_write(JsonStoreWriter& out, const std::vector<SSys>& records) {
    out.raw("[");
    bool first = true;
    for (const SSys& record : records) {
        out.raw(first ? "{\"Name\":" : ",{\"Name\":");
        first = false;
        out.text(record.Name);
        out.raw(",\"Last\":");
        out.number(record.Last);
        out.raw(",\"SV\":[");
        bool first_line = true;
        for (const SValues& value : record.SV) {
            out.raw(first_line ? "{\"L\":" : ",{\"L\":");
            first_line = false;
            out.text(value.L);
            out.raw("}");
        }
        out.raw("]}");
    }
    out.raw("]");
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

std::wstring saga_backup_path(std::wstring_view path) { return json_store_backup_path(path); }

std::string saga_records_serialise(const std::vector<SSys>& records) {
    std::string bytes;
    JsonStoreWriter out(
        [&bytes](const char* data, size_t size) {
            bytes.append(data, size);
            return true;
        },
        {});
    records_write(out, records);
    out.finish();
    return bytes;
}

bool saga_records_parse(std::string_view bytes, std::vector<SSys>& records, std::wstring& error) {
    SagaRecordsReader reader(true);
    if (json_store_read_bytes(bytes, reader, JSON_STORE_MAX_BYTES, error) != JSON_READ_OK) return false;
    records = std::move(reader.Records);
    return true;
}

int saga_lists_load(const std::wstring& path) {
    // The files go through the whole life cycle whatever the option says, so that a damaged file is kept aside
    // before the next save could delete it.
    JsonStoreLoaded loaded = json_file_store_load(file_store(), path);
    if (!loaded.Reader || SharedInts[OPT_RESTORE_SESSION].load() != 1) {
        data_folder_panel_refresh_request();
        return 0;
    }
    records_restore(static_cast<SagaRecordsReader&>(*loaded.Reader).Records);
    data_folder_panel_refresh_request();
    return 1;
}

int saga_lists_save(const std::wstring& path) {
    JsonFileStore& store = file_store();
    if (!json_file_store_may_save(store, path)) {
        // Before the load the lists hold only this run's rows; saving them would lose the history.
        if (store.Ready.load()) data_folder_panel_refresh_request();
        return 0;
    }
    const bool enabled = SharedInts[OPT_RESTORE_SESSION].load() == 1;
    std::vector<SSys> records;
    try {
        if (enabled) records = records_collect();
    } catch (const std::bad_alloc&) {
        json_file_store_out_of_memory(store, path);
        data_folder_panel_refresh_request();
        return 0;
    }
    const int written = json_file_store_save(
        store, path, records.empty() ? std::function<void(JsonStoreWriter&)>() : [&records](JsonStoreWriter& out) {
            records_write(out, records);
        });
    data_folder_panel_refresh_request();
    return written;
}

void saga_store_reset() { json_file_store_reset(file_store()); }

void saga_store_calls_set(const JsonStoreCalls& calls) { file_store().Calls = calls; }
