// Fuzz target: the folder texts that come from outside. The Logpath value as the settings file gives it, made the
// log folder and written back by the next save; and the data folder chosen from the program's folder and the
// per-user folder (both as Windows reports them, the latter from the environment), which F6 hands to the shell.
// A Logpath read holds no line break or control character (a tab is text) and reads back the same after a save; a
// folder gets exactly one separator and stays the same when it is made a folder again; the choice follows its rule; and
// the shell is given a data folder only in a form it cannot take for a command.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/data_folder.h"
#include "core/self_start_line.h"
#include "core/settings_file.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

// One separator at the end, the text before it the folder without its trailing separators.
void folder_check(const std::wstring& text) {
    const std::wstring folder = folder_with_separator(text);
    if (text.empty()) {
        PROPERTY(folder.empty());
        return;
    }
    PROPERTY(!folder.empty() && folder.back() == FOLDER_SEPARATOR);
    PROPERTY(folder.size() == 1 || !is_separator(folder[folder.size() - 2]));
    PROPERTY(text.starts_with(std::wstring_view(folder).substr(0, folder.size() - 1)));
    PROPERTY(folder_with_separator(folder) == folder);
}

void logpath_check(const std::string& value) {
    const std::string file = "\xEF\xBB\xBF\r\n[Sotrix]\r\nLogpath = " + value + "\r\n";
    SettingsFileTexts texts;
    std::wstring error;
    if (!settings_parse(file, texts, error)) return;
    const std::wstring& logpath = texts.Logpath;
    for (const wchar_t c : logpath) PROPERTY((c >= 0x20 || c == L'\t') && !(c >= 0x7F && c <= 0x9F));
    PROPERTY(logpath.empty() || (logpath.front() != L' ' && logpath.back() != L' '));
    PROPERTY(logpath.empty() || (logpath.front() != L'\t' && logpath.back() != L'\t'));
    folder_check(logpath);

    // The next save writes the folder as the log now uses it; reading that gives the same folder.
    SettingsFileTexts saved;
    saved.Logpath = folder_with_separator(logpath);
    SettingsFileTexts again;
    PROPERTY(settings_parse(settings_serialise(saved), again, error));
    PROPERTY(again.Logpath == saved.Logpath);
}

// What the shell may be given: an absolute folder on a drive or a share, or a web address without blanks, in
// either case without quotes, control characters or line breaks.
bool shell_safe_form(std::wstring_view target) {
    for (const wchar_t c : target)
        if (c < 0x20 || c == 0x7F || c == L'"') return false;
    const bool drive = target.size() >= 3 && ((target[0] | 0x20) >= L'a' && (target[0] | 0x20) <= L'z') &&
                       target[1] == L':' && target[2] == L'\\';
    const bool share = target.size() >= 3 && target[0] == L'\\' && target[1] == L'\\' && target[2] != L'\\' &&
                       target[2] != L'?' && target[2] != L'.';
    std::wstring lower(target.substr(0, 8));
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    const std::size_t scheme = lower.starts_with(L"https://") ? 8 : lower.starts_with(L"http://") ? 7 : 0;
    const bool web = scheme > 0 && target.size() > scheme && target.find(L' ') == std::wstring_view::npos;
    return drive || share || web;
}

void data_folder_check(const std::wstring& program, const std::wstring& appdata, bool program_read, bool appdata_read) {
    int asked = 0;
    const DataFolderChoice choice = data_folder_decide(program, appdata, program_read, [&] {
        ++asked;
        return appdata_read;
    });
    PROPERTY(asked <= 1);
    if (asked == 1) PROPERTY(!program_read && !appdata.empty());
    PROPERTY(choice.data_folder == folder_with_separator(choice.appdata_folder + choice.data_subfolder));
    if (choice.portable) {
        PROPERTY(choice.data_subfolder.empty());
        PROPERTY(folder_with_separator(choice.appdata_folder) == folder_with_separator(program) ||
                 (choice.appdata_folder.empty() && !program.empty()));
        PROPERTY(choice.settings_source != SETTINGS_SOURCE_APPDATA);
    } else {
        PROPERTY(choice.appdata_folder == appdata && choice.data_subfolder == L"Brindale");
        PROPERTY(!program_read && !appdata.empty() && !choice.log_folder_is_program_folder);
        PROPERTY(choice.settings_source == SETTINGS_SOURCE_APPDATA || same_drive(program, appdata));
    }
    PROPERTY(same_drive(program, appdata) == same_drive(appdata, program));

    // F6 hands the data folder to the shell, which opens only a target in a form it cannot misread.
    for (const std::wstring* target : {&choice.data_folder, &program, &appdata})
        if (shell_target_allowed(*target)) PROPERTY(shell_safe_form(*target));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool program_read = input.ConsumeBool();
    const bool appdata_read = input.ConsumeBool();
    const std::wstring program = wide_from_utf8(input.ConsumeRandomLengthString(300));
    const std::wstring appdata = wide_from_utf8(input.ConsumeRandomLengthString(300));
    const std::string logpath = input.ConsumeRemainingBytesAsString();

    logpath_check(logpath);
    folder_check(program);
    folder_check(appdata);
    data_folder_check(program, appdata, program_read, appdata_read);
    return 0;
}
