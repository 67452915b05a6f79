// Folder trees over the common tree view, filled on demand from the file system.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "runtime/gui/folder_tree/folder_tree.h"
#include "runtime/gui/object/gui_objects_win.h"

namespace {

int quiet_tree = -1;  // the tree whose selection the program is changing (main thread)

std::wstring item_text(HWND tree, HTREEITEM item) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    if (!TreeView_GetItem(tree, &query)) return {};
    return text;
}

// The folder of an item: its parents' names joined, with a trailing "\" (drive items are "C:").
std::wstring item_path(HWND tree, HTREEITEM item) {
    std::wstring path;
    for (HTREEITEM at = item; at; at = TreeView_GetParent(tree, at)) path = item_text(tree, at) + L"\\" + path;
    return path;
}

HTREEITEM item_add(HWND tree, HTREEITEM parent, const std::wstring& name) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = parent == TVI_ROOT ? TVI_LAST : TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    insert.item.cChildren = 1;  // found out when it is opened
    return TreeView_InsertItem(tree, &insert);
}

// Adds the subfolders of an item once; an item without any loses its button.
void children_fill(HWND tree, HTREEITEM item) {
    if (TreeView_GetChild(tree, item)) return;
    const std::wstring pattern = item_path(tree, item) + L"*";
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchLimitToDirectories, nullptr, 0);
    bool any = false;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
            item_add(tree, item, name);
            any = true;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (!any) {
        TVITEMW none{};
        none.mask = TVIF_CHILDREN;
        none.hItem = item;
        none.cChildren = 0;
        TreeView_SetItem(tree, &none);
    }
}

HTREEITEM child_named(HWND tree, HTREEITEM parent, std::wstring_view name) {
    for (HTREEITEM child = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); child;
         child = TreeView_GetNextSibling(tree, child)) {
        const std::wstring text = item_text(tree, child);
        if (CompareStringOrdinal(text.c_str(), static_cast<int>(text.size()), name.data(),
                                 static_cast<int>(name.size()), TRUE) == CSTR_EQUAL) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

int folder_tree_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                       std::wstring_view folder) {
    const DWORD style =
        WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    const int created =
        gui_child_create(number, GUI_KIND_FOLDER_TREE, WC_TREEVIEWW, parent, x, y, width, height, L"", style, 0, 0);
    const HWND tree = created ? gui_object_hwnd(false, created) : nullptr;
    if (!tree) return created;
    wchar_t drives[512] = {};
    const DWORD length = GetLogicalDriveStringsW(511, drives);
    for (const wchar_t* drive = drives; length > 0 && length < 512 && *drive; drive += wcslen(drive) + 1) {
        std::wstring name = drive;
        while (!name.empty() && name.back() == L'\\') name.pop_back();
        item_add(tree, TVI_ROOT, name);
    }
    folder_tree_go(created, folder);
    return created;
}

std::wstring folder_tree_path(int number) {
    const HWND tree = gui_object_hwnd(false, number);
    if (!tree) return {};
    const HTREEITEM selected = TreeView_GetSelection(tree);
    return selected ? item_path(tree, selected) : std::wstring();
}

bool folder_tree_go(int number, std::wstring_view folder) {
    const HWND tree = gui_object_hwnd(false, number);
    if (!tree) return false;
    const size_t pattern = folder.rfind(L'*');
    if (pattern != std::wstring_view::npos) folder = folder.substr(0, folder.rfind(L'\\', pattern) + 1);
    HTREEITEM at = nullptr;
    size_t start = 0;
    while (start < folder.size()) {
        size_t end = folder.find(L'\\', start);
        if (end == std::wstring_view::npos) end = folder.size();
        const std::wstring_view name = folder.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        if (at) {
            children_fill(tree, at);
            TreeView_Expand(tree, at, TVE_EXPAND);
        }
        const HTREEITEM next = child_named(tree, at, name);
        if (!next) return false;
        at = next;
    }
    if (!at) return false;
    // Selected quietly: the change is reported only for the user's choices.
    quiet_tree = number;
    TreeView_SelectItem(tree, at);
    TreeView_EnsureVisible(tree, at);
    quiet_tree = -1;
    SetWindowTextW(tree, item_path(tree, at).c_str());
    return true;
}

bool folder_tree_on_notify(const GuiObject& object, NMHDR* header, LRESULT* result) {
    if (header->code == TVN_ITEMEXPANDINGW) {
        const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
        if (change->action & TVE_EXPAND) children_fill(object.hwnd, change->itemNew.hItem);
        *result = FALSE;
        return true;
    }
    if (header->code == TVN_SELCHANGEDW) {
        const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
        SetWindowTextW(object.hwnd, item_path(object.hwnd, change->itemNew.hItem).c_str());
        if (object.number != quiet_tree) {
            GuiEvent event;
            event.kind = EVENT_CONTROL;
            event.window = object.window;
            event.control = object.number;
            event.type = EVENT_TYPE_CHANGE;
            gui_event_post(event);
        }
        *result = 0;
        return true;
    }
    return false;
}
