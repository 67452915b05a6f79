// What a user does to the running program, done from outside its process: a tab chosen with the arrow keys, a
// button clicked, a combo box item chosen, the pointer rested on a control, a file named in the program's file
// dialog, a tab copied with Ctrl+C; and the texts of its windows and controls read back.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/settings_code.h"
#include "runtime/text.h"

// A settings file that holds the settings code of the values and nothing else.
inline std::string settings_file_text(const SettingsCodeValues& values) {
    return "[Sotrix]\r\nConfig=" + utf8_from_wide(settings_code_encode(values)) + "\r\n";
}

// A window's title as the window manager keeps it, read without a message: the program's main thread may be
// busy.
inline std::wstring title_of(HWND hwnd) {
    wchar_t text[512] = {};
    InternalGetWindowText(hwnd, text, 512);
    return text;
}

// The text of a control of another process (GetWindowText answers only captions across processes; the system
// carries WM_GETTEXT's text back).
inline std::wstring control_text(HWND control) {
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &length)) {
        return {};
    }
    return text;
}

// Selects a tab with the arrow keys, as a user would. Sent, not posted: when the call returns the tab
// control has changed the page and reported the change.
inline void tab_choose(HWND panel, int tab) {
    for (int presses = 0; presses < 9; ++presses) {
        const LRESULT shown = SendMessageW(panel, TCM_GETCURSEL, 0, 0);
        if (shown == tab) break;
        const WPARAM key = shown < tab ? VK_RIGHT : VK_LEFT;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(panel, WM_KEYDOWN, key, 1, SMTO_ABORTIFHUNG, 5000, &ignored);
        SendMessageTimeoutW(panel, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001), SMTO_ABORTIFHUNG, 5000, &ignored);
    }
}

// A user's choice in a combo box of another process: the item, then the notice its parent gets.
inline void combo_choose(HWND combo, int item) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// A click on a button, as the mouse gives it. Posted: the program's handler may open a dialog and wait in it.
inline bool button_click(HWND button) { return PostMessageW(button, BM_CLICK, 0, 0) != FALSE; }

// Moves the pointer onto a point of a control (client coordinates), as a user's mouse does: the control gets
// the movement. False when another window covers the point.
inline bool pointer_move(HWND control, int x, int y) {
    POINT point{x, y};
    ClientToScreen(control, &point);
    if (WindowFromPoint(point) != control) return false;
    return SetCursorPos(point.x, point.y) != FALSE;
}

// The colour of a temperature strip's newest column (the band's right end, inside its one-pixel frame), in the
// middle of its height, where no text is written.
inline uint32_t strip_newest_colour(HWND strip) {
    const Picture picture = screen_picture(client_on_screen(strip));
    return picture.empty() ? 0 : picture.at(picture.width - 2, picture.height / 2);
}

// The read-out of a temperature strip's newest point: the pointer moves onto the column left of it, then onto it
// (a read-out is given only when the pointer moved); the main window's title then shows "Position: 1/...".
inline std::wstring strip_newest_readout(HWND main, HWND strip) {
    RECT inner{};
    GetClientRect(strip, &inner);
    std::wstring title;
    if (!pointer_move(strip, inner.right - 3, inner.bottom / 2) ||
        !pointer_move(strip, inner.right - 2, inner.bottom / 2)) {
        return L"(the strip is covered)";
    }
    wait_until(5000, [&] { return (title = title_of(main)).starts_with(L"Position: 1/"); });
    return title;
}

// Waits until a temperature strip's newest column has the colour and the read-out of its newest point holds the
// text.
inline ::testing::AssertionResult strip_newest_shows(HWND main, HWND strip, uint32_t colour,
                                                     const std::wstring& readout, int milliseconds) {
    uint32_t shown = 0;
    if (!wait_until(milliseconds, [&] { return (shown = strip_newest_colour(strip)) == colour; }))
        return ::testing::AssertionFailure() << "the strip's newest column is " << std::hex << shown;
    std::wstring text;
    if (!wait_until(15000,
                    [&] { return (text = strip_newest_readout(main, strip)).find(readout) != std::wstring::npos; }))
        return ::testing::AssertionFailure() << "the strip's read-out: " << narrow(text);
    return ::testing::AssertionSuccess();
}

struct DialogSearch {
    DWORD process_id;
    const wchar_t* title;
    HWND found;
};

inline BOOL CALLBACK dialog_search_step(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->process_id || class_of(hwnd) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
    if (title_of(hwnd) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The process's visible dialog with the title; null when there is none.
inline HWND program_dialog(DWORD process_id, const std::wstring& title) {
    DialogSearch search{process_id, title.c_str(), nullptr};
    EnumWindows(dialog_search_step, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline BOOL CALLBACK file_name_field_step(HWND hwnd, LPARAM parameter) {
    if (class_of(hwnd) != L"Edit" || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(parameter) = hwnd;
    return FALSE;
}

// Answers the program's open or save dialog with the title as a user does: waits for it, reads the file name it
// proposes into `proposed`, types the path into the file name field and presses the dialog's OK button (Open or
// Save); succeeds once the dialog has closed.
inline ::testing::AssertionResult file_dialog_answer(const Program& program, const std::wstring& title,
                                                     const std::wstring& path, std::wstring* proposed = nullptr) {
    HWND dialog = nullptr;
    if (!wait_until(30000, [&] { return (dialog = program_dialog(program.id(), title)) != nullptr; }))
        return ::testing::AssertionFailure() << "no dialog \"" << narrow(title) << "\"";
    HWND field = nullptr;
    EnumChildWindows(dialog, file_name_field_step, reinterpret_cast<LPARAM>(&field));
    const HWND ok = GetDlgItem(dialog, IDOK);
    if (!field || !ok) return ::testing::AssertionFailure() << "the dialog has no file name field or no OK button";
    // The dialog fills the field once it has shown.
    if (proposed) wait_until(10000, [&] { return !(*proposed = control_text(field)).empty(); });
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
    if (control_text(field) != path) return ::testing::AssertionFailure() << "the file name field took no text";
    PostMessageW(ok, BM_CLICK, 0, 0);
    if (!wait_until(30000, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        return ::testing::AssertionFailure() << "the dialog did not close on OK";
    return ::testing::AssertionSuccess();
}

// Presses Ctrl+C on the main window until the clipboard holds a text that `complete` accepts, emptying the
// clipboard before each press; the text, or what the clipboard held last. The shortcuts exist only once the
// start-up has ended, and a copy asked for while another runs is dropped: a press is repeated when its copy did
// not come within 15 s.
inline std::wstring tab_copy(HWND main, const std::function<bool(const std::wstring&)>& complete,
                             int milliseconds = START_MS) {
    std::wstring copy;
    wait_until(milliseconds, [&] {
        clipboard_empty();
        if (!ctrl_c_press(main)) return false;
        return wait_until(15000, [&] { return complete(copy = clipboard_text()); });
    });
    return copy;
}

// The lines of a text ("\r\n" between them; a last line without an end is a line too).
inline std::vector<std::wstring> text_lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find(L"\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The column titles of a list view of another process, in the order of its columns.
inline std::vector<std::wstring> list_view_titles(HWND list) {
    std::vector<std::wstring> titles;
    constexpr size_t TEXT_CHARS = 256;
    RemoteBuffer remote(process_of(list), sizeof(LVCOLUMNW) + TEXT_CHARS * sizeof(wchar_t));
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!remote.ok() || !header) return titles;
    const LRESULT count = SendMessageW(header, HDM_GETITEMCOUNT, 0, 0);
    for (LRESULT column = 0; column < count; ++column) {
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT;
        item.pszText = reinterpret_cast<LPWSTR>(remote.at(sizeof(LVCOLUMNW)));
        item.cchTextMax = TEXT_CHARS;
        wchar_t text[TEXT_CHARS] = {};
        if (!remote.write(0, &item, sizeof(item)) || !remote.write(sizeof(LVCOLUMNW), text, sizeof(text)) ||
            !SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote.at(0))) ||
            !remote.read(sizeof(LVCOLUMNW), text, sizeof(text) - sizeof(wchar_t))) {
            break;
        }
        titles.emplace_back(text);
    }
    return titles;
}
