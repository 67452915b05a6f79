// The clipboard copy of a tab on Windows: the views' column titles and the system clipboard.
#include <windows.h>

#include <cstring>

#include "runtime/gui/list_view/list_view.h"
#include "runtime/text.h"
#include "ui/tab_clipboard.h"

namespace {

// Opened without an owner window, so that emptying it sends nothing to a window of the main thread.
void system_clipboard_put(const std::wstring& text) {
    const std::u16string units = utf16_from_wide(text);
    const size_t bytes = (units.size() + 1) * sizeof(char16_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return;
    }
    std::memcpy(target, units.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    // The clipboard owns the memory once it takes it.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    CloseClipboard();
}

}  // namespace

void clipboard_copy_tab(int tab) {
    static const TabClipboardPlatform platform{.column_titles = list_view_column_titles,
                                               .clipboard_put = system_clipboard_put};
    tab_clipboard_copy_using(tab, platform);
}
