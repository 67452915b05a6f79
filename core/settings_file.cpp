// The settings file "Sotrix.ini": its exact bytes, reading and applying, saving when changed, import and export.
#include "core/settings_file.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/color_lists.h"
#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/event_lists.h"
#include "core/log_file.h"
#include "core/settings_code.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/window_positions.h"
#include "runtime/file_io.h"
#include "runtime/text.h"

namespace {

constexpr std::string_view BOM = "\xEF\xBB\xBF";
constexpr std::wstring_view GROUP = L"Sotrix";
constexpr std::wstring_view NO_DRIVE_FILTER = L"0000-0000";
constexpr std::wstring_view NO_NET_FILTER = L"00:00:00:00:00:00";

// Set when the data folder's file must be written at the next save whatever the comparison finds: after an
// import, after a damaged file was set aside, and after a failed write.
std::atomic<bool> rewrite_pending{false};

std::wstring_view trim_blanks(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
    return text;
}

bool is_control(wchar_t c) { return (c < 0x20 && c != L'\t') || (c >= 0x7F && c <= 0x9F); }

// One line of a file as text; empty (nullopt) when its bytes are not text in the file's encoding.
using FileLine = std::optional<std::wstring>;

// Splits at CR LF, LF or a lone CR.
template <typename Char>
std::vector<std::basic_string_view<Char>> lines_of(std::basic_string_view<Char> text) {
    std::vector<std::basic_string_view<Char>> lines;
    size_t begin = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != Char('\r') && text[i] != Char('\n')) continue;
        lines.push_back(text.substr(begin, i - begin));
        if (text[i] == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
        begin = i + 1;
    }
    if (begin < text.size()) lines.push_back(text.substr(begin));
    return lines;
}

void text_lines_append(std::wstring_view text, std::vector<FileLine>& lines) {
    for (const std::wstring_view line : lines_of(text)) lines.emplace_back(std::wstring(line));
}

// The file's lines: UTF-16 after its byte-order mark (either order); UTF-8 after its mark, where a line that is not
// UTF-8 is no text; without a mark UTF-8 when the whole file is, otherwise the ANSI code page. False for NUL bytes
// without a UTF-16 mark: that is no text file at all.
bool file_lines(std::string_view bytes, std::vector<FileLine>& lines, std::wstring& error) {
    const bool little = bytes.starts_with("\xFF\xFE");
    if (little || bytes.starts_with("\xFE\xFF")) {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        // An odd last byte is the rest of a cut-off unit.
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const char16_t first = static_cast<unsigned char>(bytes[i]);
            const char16_t second = static_cast<unsigned char>(bytes[i + 1]);
            units +=
                little ? static_cast<char16_t>(first | (second << 8)) : static_cast<char16_t>((first << 8) | second);
        }
        text_lines_append(wide_from_utf16(units), lines);
        return true;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        error = L"the file holds binary data";
        return false;
    }
    if (bytes.starts_with(BOM)) {
        for (const std::string_view line : lines_of(bytes.substr(BOM.size()))) {
            lines.push_back(utf8_valid(line) ? FileLine(wide_from_utf8(line)) : std::nullopt);
        }
        return true;
    }
    text_lines_append(utf8_valid(bytes) ? wide_from_utf8(bytes) : wide_from_ansi(bytes), lines);
    return true;
}

std::wstring* field_of(SettingsFileTexts& texts, std::wstring_view key) {
    struct Field {
        std::wstring_view name;
        std::wstring SettingsFileTexts::*member;
    };
    static constexpr Field FIELDS[] = {
        {L"Config", &SettingsFileTexts::Config},       {L"Digits", &SettingsFileTexts::Digits},
        {L"Logpath", &SettingsFileTexts::Logpath},     {L"ColorBar", &SettingsFileTexts::ColorBar},
        {L"ColorCPU", &SettingsFileTexts::ColorCPU},   {L"ColorGra", &SettingsFileTexts::ColorGra},
        {L"FilterDrv", &SettingsFileTexts::FilterDrv}, {L"FilterNic", &SettingsFileTexts::FilterNic},
        {L"EventLog", &SettingsFileTexts::EventLog},
    };
    for (const Field& field : FIELDS) {
        if (text_equal_nocase_ascii(field.name, key)) return &(texts.*field.member);
    }
    return nullptr;
}

std::wstring value_line(std::wstring_view key, std::wstring_view value) {
    std::wstring clean;
    for (const wchar_t c : value) {
        if (c != L'\r' && c != L'\n' && c != L'\0') clean += c;
    }
    const std::wstring_view trimmed = trim_blanks(clean);
    if (trimmed.empty()) return {};
    return std::wstring(key) + L" = " + std::wstring(trimmed) + L"\r\n";
}

std::wstring program_folder() {
    std::lock_guard guard(DataFilesLock);
    return folder_with_separator(DataFiles[DATA_FILE_PROGRAM].folder);
}

std::wstring log_folder() {
    std::lock_guard guard(DataFilesLock);
    return DataFiles[DATA_FILE_LOG].folder;
}

bool same_folder(const std::wstring& a, const std::wstring& b) {
    return text_equal_nocase_ascii(folder_with_separator(a), folder_with_separator(b));
}

void show_text(int control, const std::wstring& text) {
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (hooks.control_text_set) hooks.control_text_set(control, text);
}

void report(const std::wstring& text) { event_line_add(LIST_SYSTEM_EVENTS, text); }

std::wstring folder_part(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

void log_folder_apply(const std::wstring& logpath) {
    std::wstring fallback;
    {
        std::lock_guard guard(DataFilesLock);
        fallback = DataFiles[DATA_FILE_LOG].alt_folder;
    }
    std::wstring folder;
    if (logpath == L"0" || SharedInts[PORTABLE_MODE].load() == 1) {
        folder = program_folder();
    } else if (!logpath.empty()) {
        folder = folder_with_separator(logpath);
    }
    // A missing Logpath, or a folder that takes no file, means the default log folder.
    if (folder.empty() || folder_write_test(folder) != 1) folder = fallback;
    {
        std::lock_guard guard(DataFilesLock);
        DataFiles[DATA_FILE_LOG].folder = folder;
    }
    show_text(TREE_FOLDER_CHOOSER, folder);
    show_text(TEXT_LOG_FOLDER, folder);
}

void settings_apply(const SettingsFileTexts& texts, const std::wstring& path) {
    shared_text_set(SETTINGS_CODE_TEXT, texts.Config);
    if (!settings_code_parse() && !texts.Config.empty()) {
        report(L"Settings code in " + path + L" is not valid (" + std::to_wstring(texts.Config.size()) +
               L" characters); the options keep their values");
    }
    shared_text_set(DIGITS_SAVED, texts.Digits);
    if (!texts.Digits.empty()) window_positions_read();
    // The graphs must exist before their colours are applied.
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (hooks.main_window_ensure) hooks.main_window_ensure();
    log_folder_apply(texts.Logpath);

    shared_text_set(COLOR_BAR_SAVED, texts.ColorBar);
    if (!texts.ColorBar.empty()) color_list_apply(texts.ColorBar, GRAPH_PHYSICAL_MEMORY);
    shared_text_set(COLOR_CPU_SAVED, texts.ColorCPU);
    if (!texts.ColorCPU.empty()) color_list_apply(texts.ColorCPU, GRAPH_CPU_CORE_BASE);
    shared_text_set(COLOR_GRAPH_SAVED, texts.ColorGra);
    if (!texts.ColorGra.empty()) {
        color_list_apply(texts.ColorGra, SharedInts[GPU_GRAPH_START].load());
        gpu_graph_colors_copy();
    }

    std::wstring drive = texts.FilterDrv;
    if (drive.size() != 9 || drive[4] != L'-') drive.clear();
    shared_text_set(FILTER_DRV_SAVED, drive);
    shared_text_set(DRIVE_FILTER_SERIAL, drive);
    std::wstring nic = texts.FilterNic;
    if (nic.size() != 17 || std::count(nic.begin(), nic.end(), L':') != 5) nic.clear();
    shared_text_set(FILTER_NIC_SAVED, nic);
    shared_text_set(NET_FILTER_MAC, nic);
    shared_text_set(EVENTLOG_NAME, texts.EventLog);
    shared_text_set(EVENTLOG_NAME_SAVED, texts.EventLog);
    data_folder_panel_draw(1);
}

enum class LoadMode { STORE, IMPORT };

// Reads and parses a file; false with the reason when it is missing, unreadable or not a settings file.
bool read_settings(const std::wstring& path, SettingsFileTexts& texts, std::wstring& why, FileError& file_error,
                   SettingsFileFaults& faults, size_t* size = nullptr) {
    std::string bytes;
    if (!file_read_all(file_path(path), bytes, SETTINGS_FILE_MAX_BYTES, &file_error)) {
        why = file_error_text(file_error, SETTINGS_FILE_MAX_BYTES);
        return false;
    }
    if (size) *size = bytes.size();
    return settings_parse(bytes, texts, why, &faults);
}

// One event line for a file that was read with something left out; nothing for a clean file.
void faults_report(const std::wstring& path, const SettingsFileFaults& faults) {
    if (!faults.any()) return;
    std::vector<std::wstring> parts;
    if (!faults.LeftOut.empty()) {
        constexpr size_t LISTED = 10;
        std::wstring numbers;
        for (size_t i = 0; i < faults.LeftOut.size() && i < LISTED; ++i) {
            if (i > 0) numbers += L", ";
            numbers += std::to_wstring(faults.LeftOut[i]);
        }
        if (faults.LeftOut.size() > LISTED) numbers += L", ...";
        parts.push_back(faults.LeftOut.size() == 1 ? L"line " + numbers + L" was not understood and was left out"
                                                   : L"lines " + numbers + L" were not understood and were left out");
    }
    if (faults.KeysWithoutGroup) parts.push_back(L"there is no [Sotrix] line; the keys above any group were read");
    if (faults.GroupMissing) parts.push_back(L"there is no [Sotrix] group; its settings keep their defaults");
    std::wstring text = L"Settings file " + path + L": ";
    for (size_t i = 0; i < parts.size(); ++i) text += (i > 0 ? L"; " : L"") + parts[i];
    report(text);
}

int load(const std::wstring& path, LoadMode mode) {
    if (!folder_exists(folder_part(path))) return 0;
    if (mode == LoadMode::STORE) store_temporaries_remove(path);
    SettingsFileTexts texts;
    std::wstring why;
    FileError file_error = FILE_OK;
    size_t size = 0;
    const std::wstring backup_path = path + L".bak";
    SettingsFileFaults faults;
    if (read_settings(path, texts, why, file_error, faults, &size)) {
        SettingsFileTexts backup;
        std::wstring backup_why;
        FileError backup_error = FILE_OK;
        SettingsFileFaults backup_faults;
        // An empty file is what an interrupted write of an older release left; its backup holds the settings.
        if (mode == LoadMode::STORE && size == 0 &&
            read_settings(backup_path, backup, backup_why, backup_error, backup_faults)) {
            report(L"Settings file " + path + L" was empty; its backup copy was used");
            rewrite_pending = true;
            settings_apply(backup, path);
            faults_report(backup_path, backup_faults);
            return 1;
        }
        // Applied first, so that the line reaches the log when the settings keep one.
        settings_apply(texts, path);
        faults_report(path, faults);
        // The next save writes a clean file; the user's own becomes its backup copy.
        if (mode == LoadMode::STORE && faults.any()) rewrite_pending = true;
        return 1;
    }
    if (file_error == FILE_MISSING) return 0;
    if (mode == LoadMode::IMPORT) {
        report(L"Settings file " + path + L" could not be imported: " + why);
        return 0;
    }
    // The damaged file is kept under another name, never overwritten by the next save.
    std::filesystem::path moved;
    const bool kept = file_set_aside(file_path(path), &moved);
    std::wstring text = L"Settings file " + path + L" could not be read (" + why + L")";
    if (kept) text += L"; kept as " + file_path_text(moved);
    SettingsFileTexts backup;
    std::wstring backup_why;
    FileError backup_error = FILE_OK;
    SettingsFileFaults backup_faults;
    const bool backup_read = read_settings(backup_path, backup, backup_why, backup_error, backup_faults);
    if (backup_read) {
        // Applied first, so that the line reaches the log when the backup's settings keep one.
        settings_apply(backup, path);
        report(text + L"; its backup copy was used");
        faults_report(backup_path, backup_faults);
    } else {
        report(text + L"; default settings are used");
        // Defaults still decide the log folder: the default one.
        log_folder_apply(L"");
    }
    if (kept) rewrite_pending = true;
    // A file that can be neither read nor moved aside counts as absent, unless its backup stood in.
    return kept || backup_read || file_error != FILE_UNREADABLE ? 1 : 0;
}

SettingsFileTexts current_texts() {
    SettingsFileTexts texts;
    texts.Config = settings_code_build();
    if (SharedInts[OPT_REMEMBER_POSITIONS].load() != 0) texts.Digits = shared_text(DIGITS_CURRENT);
    const std::wstring folder = log_folder();
    if (!folder.empty()) texts.Logpath = same_folder(folder, program_folder()) ? std::wstring(L"0") : folder;
    texts.ColorBar = shared_text(COLOR_BAR_CURRENT);
    texts.ColorCPU = shared_text(COLOR_CPU_CURRENT);
    texts.ColorGra = shared_text(COLOR_GRAPH_CURRENT);
    texts.FilterDrv = shared_text(DRIVE_FILTER_SERIAL);
    texts.FilterNic = shared_text(NET_FILTER_MAC);
    texts.EventLog = shared_text(EVENTLOG_NAME);
    return texts;
}

// The current texts of the things the settings file stores, built from the running program.
void current_texts_rebuild() {
    shared_text_set(CONFIG_CURRENT, settings_code_build());
    // Without access to the graphs their colours are unknown here; the stored ones are kept.
    const bool graphs = settings_ui_hooks().graph_color != nullptr;
    shared_text_set(COLOR_BAR_CURRENT, graphs ? color_list_build_bar() : shared_text(COLOR_BAR_SAVED));
    shared_text_set(COLOR_CPU_CURRENT, graphs ? color_list_build_cpu() : shared_text(COLOR_CPU_SAVED));
    shared_text_set(COLOR_GRAPH_CURRENT, graphs ? color_list_build_gpu() : shared_text(COLOR_GRAPH_SAVED));
    shared_text_set(DIGITS_CURRENT, window_positions_text());
}

bool write_settings(const std::wstring& path, bool keep_backup) {
    if (!folder_exists(folder_part(path))) return false;
    return file_write_atomic(file_path(path), settings_serialise(current_texts()), keep_backup);
}

}  // namespace

std::string settings_serialise(const SettingsFileTexts& texts) {
    std::wstring text = L"\r\n[" + std::wstring(GROUP) + L"]\r\n";
    text += value_line(L"Config", texts.Config);
    text += value_line(L"Digits", texts.Digits);
    text += value_line(L"Logpath", texts.Logpath);
    text += value_line(L"ColorBar", texts.ColorBar);
    text += value_line(L"ColorCPU", texts.ColorCPU);
    text += value_line(L"ColorGra", texts.ColorGra);
    if (texts.FilterDrv != NO_DRIVE_FILTER) text += value_line(L"FilterDrv", texts.FilterDrv);
    if (texts.FilterNic != NO_NET_FILTER) text += value_line(L"FilterNic", texts.FilterNic);
    text += value_line(L"EventLog", texts.EventLog);
    return std::string(BOM) + utf8_from_wide(text);
}

bool settings_parse(std::string_view bytes, SettingsFileTexts& texts, std::wstring& error, SettingsFileFaults* faults) {
    if (bytes.size() > SETTINGS_FILE_MAX_BYTES) {
        error = L"the file is larger than " + std::to_wstring(SETTINGS_FILE_MAX_BYTES) + L" bytes";
        return false;
    }
    std::vector<FileLine> lines;
    if (!file_lines(bytes, lines, error)) return false;
    enum class Group { NONE_YET, OURS, OTHER };
    Group group = Group::NONE_YET;
    SettingsFileTexts ours;
    SettingsFileTexts before_any;  // keys above the first group line
    std::vector<size_t> before_any_lines;
    SettingsFileFaults found;
    bool our_group = false;
    bool structure = false;  // a group line or a key line
    bool content = false;    // anything but blank lines and comments
    for (size_t index = 0; index < lines.size(); ++index) {
        const size_t number = index + 1;
        if (!lines[index]) {
            content = true;
            found.LeftOut.push_back(number);
            continue;
        }
        const std::wstring_view line = trim_blanks(*lines[index]);
        if (line.empty() || line.front() == L';') continue;
        content = true;
        if (std::any_of(line.begin(), line.end(), is_control)) {
            found.LeftOut.push_back(number);
            continue;
        }
        if (line.front() == L'[') {
            const size_t close = line.find(L']');
            const std::wstring_view name =
                close == line.npos ? std::wstring_view() : trim_blanks(line.substr(1, close - 1));
            if (name.empty()) {
                found.LeftOut.push_back(number);
                continue;
            }
            structure = true;
            group = text_equal_nocase_ascii(name, GROUP) ? Group::OURS : Group::OTHER;
            our_group = our_group || group == Group::OURS;
            // As Windows reads it: the name up to "]"; the rest of the line is left out unless it is a comment.
            const std::wstring_view rest = trim_blanks(line.substr(close + 1));
            if (!rest.empty() && rest.front() != L';') found.LeftOut.push_back(number);
            continue;
        }
        const size_t equals = line.find(L'=');
        const std::wstring_view key = equals == line.npos ? std::wstring_view() : trim_blanks(line.substr(0, equals));
        if (key.empty()) {
            found.LeftOut.push_back(number);
            continue;
        }
        structure = true;
        if (group == Group::OTHER) continue;
        std::wstring* field = field_of(group == Group::OURS ? ours : before_any, key);
        if (!field) {
            found.LeftOut.push_back(number);
            continue;
        }
        if (group == Group::NONE_YET) before_any_lines.push_back(number);
        // As in Windows INI files, the first of two equal keys counts.
        if (field->empty()) *field = std::wstring(trim_blanks(line.substr(equals + 1)));
    }
    if (content && !structure) {
        error = L"nothing in it reads as settings";
        return false;
    }
    if (our_group) {
        // Keys above "[Sotrix]" belong to no group.
        found.LeftOut.insert(found.LeftOut.end(), before_any_lines.begin(), before_any_lines.end());
        std::sort(found.LeftOut.begin(), found.LeftOut.end());
    } else if (!before_any_lines.empty()) {
        // The file holds only our group: a lost or mistyped group line must not cost the settings below it.
        ours = std::move(before_any);
        found.KeysWithoutGroup = true;
    } else if (structure) {
        found.GroupMissing = true;
    }
    texts = std::move(ours);
    if (faults) *faults = std::move(found);
    return true;
}

int settings_load(const std::wstring& path) { return load(path, LoadMode::STORE); }

bool settings_save(const std::wstring& path) { return write_settings(path, true); }

bool settings_save_if_changed() {
    current_texts_rebuild();
    const std::wstring folder = log_folder();
    const bool positions = SharedInts[OPT_REMEMBER_POSITIONS].load() > 0;
    const bool changed = rewrite_pending.load() || shared_text(CONFIG_CURRENT) != shared_text(CONFIG_SAVED) ||
                         folder != shared_text(LOGPATH_SAVED) ||
                         shared_text(COLOR_BAR_CURRENT) != shared_text(COLOR_BAR_SAVED) ||
                         shared_text(COLOR_CPU_CURRENT) != shared_text(COLOR_CPU_SAVED) ||
                         shared_text(COLOR_GRAPH_CURRENT) != shared_text(COLOR_GRAPH_SAVED) ||
                         (positions && shared_text(DIGITS_CURRENT) != shared_text(DIGITS_SAVED)) ||
                         shared_text(DRIVE_FILTER_SERIAL) != shared_text(FILTER_DRV_SAVED) ||
                         shared_text(NET_FILTER_MAC) != shared_text(FILTER_NIC_SAVED) ||
                         shared_text(EVENTLOG_NAME) != shared_text(EVENTLOG_NAME_SAVED);
    if (!changed) return true;
    const std::wstring path = settings_file_path();
    if (data_folder_ensure(shared_text(DATA_SUBFOLDER)) != 1 || !settings_save(path)) {
        // Not marked as saved: the next save tries again.
        rewrite_pending = true;
        report(L"Settings could not be saved to " + path + L"; they will be saved again later");
        return false;
    }
    rewrite_pending = false;
    SharedInts[SETTINGS_FILE_PRESENT] = 1;
    shared_text_set(CONFIG_SAVED, shared_text(CONFIG_CURRENT));
    shared_text_set(LOGPATH_SAVED, folder);
    shared_text_set(COLOR_BAR_SAVED, shared_text(COLOR_BAR_CURRENT));
    shared_text_set(COLOR_CPU_SAVED, shared_text(COLOR_CPU_CURRENT));
    shared_text_set(COLOR_GRAPH_SAVED, shared_text(COLOR_GRAPH_CURRENT));
    shared_text_set(DIGITS_SAVED, shared_text(DIGITS_CURRENT));
    shared_text_set(FILTER_DRV_SAVED, shared_text(DRIVE_FILTER_SERIAL));
    shared_text_set(FILTER_NIC_SAVED, shared_text(NET_FILTER_MAC));
    shared_text_set(EVENTLOG_NAME_SAVED, shared_text(EVENTLOG_NAME));
    data_folder_panel_draw(1);
    return true;
}

bool settings_import(const std::wstring& path) {
    if (load(path, LoadMode::IMPORT) != 1) return false;
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (hooks.settings_controls_refresh) hooks.settings_controls_refresh(0);
    log_buffer_resize();
    // The imported texts went into the last-saved copies; without this the next save would find nothing
    // changed and the data folder's file would keep the old settings.
    rewrite_pending = true;
    return true;
}

bool settings_export(const std::wstring& path) {
    current_texts_rebuild();
    if (write_settings(path, false)) return true;
    report(L"Settings could not be exported to " + path);
    return false;
}

std::wstring settings_file_path() {
    std::wstring name;
    {
        std::lock_guard guard(DataFilesLock);
        name = DataFiles[DATA_FILE_SETTINGS].file_name;
    }
    return data_folder_path() + (name.empty() ? std::wstring(L"Sotrix.ini") : name);
}

void settings_file_reset() { rewrite_pending = false; }
