// The restarted program's command line and the targets the shell may open.
#include "core/self_start_line.h"

#include "core/language.h"

namespace {

bool starts_with_lower(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::wstring command_line_argument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

std::wstring self_start_command_line(std::wstring_view program) {
    return command_line_argument(program) + L" restart norepair";
}

bool shell_target_allowed(std::wstring_view target) {
    for (const wchar_t c : target) {
        if (c < 0x20 || c == 0x7F || c == L'"') return false;
    }
    if (starts_with_lower(target, L"https://") || starts_with_lower(target, L"http://")) {
        const size_t scheme = target.find(L"//") + 2;
        return target.size() > scheme && target.find(L' ') == std::wstring_view::npos;
    }
    const bool drive = target.size() >= 3 &&
                       ((target[0] >= L'A' && target[0] <= L'Z') || (target[0] >= L'a' && target[0] <= L'z')) &&
                       target[1] == L':' && target[2] == L'\\';
    const bool share = target.size() >= 3 && target[0] == L'\\' && target[1] == L'\\' && target[2] != L'\\' &&
                       target[2] != L'?' && target[2] != L'.';
    return drive || share;
}

std::wstring restart_failed_text() { return tr(L"Restart") + L": " + tr(L"Failed"); }
