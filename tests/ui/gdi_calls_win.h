// Counting the GDI calls this test program makes, by the device context they draw on: while a GdiCallCount
// lives, the program's import table sends the drawing calls of GDI and USER and the calls that make GDI
// objects through counters.
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

// What one device context received.
struct GdiTally {
    int drawings = 0;  // calls that change pixels: fills, texts, lines, pixels, blends and copies
    int saves = 0;     // SaveDC: a canvas drawing begins with one
};

namespace gdi_calls {

inline std::mutex lock;
inline std::map<HDC, GdiTally> by_dc;
inline int made = 0;  // pens, brushes, device contexts and bitmaps made

inline void drawing(HDC dc) {
    std::lock_guard guard(lock);
    ++by_dc[dc].drawings;
}

// The import table entry of `function` from `library` in this program; null when it imports no such function.
inline void** import_slot(const char* library, const char* function) {
    auto* base = reinterpret_cast<char*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name != 0;
         ++entry) {
        if (_stricmp(base + entry->Name, library) != 0 || entry->OriginalFirstThunk == 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

inline void slot_write(void** slot, void* value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof(void*), protection, &protection);
}

// One counted function: its original and the counter that stands in for it.
#define GDI_COUNTED(library, result, name, parameters, arguments, note)                                               \
    inline result(WINAPI* original_##name) parameters = nullptr;                                                      \
    inline result WINAPI counted_##name parameters {                                                                  \
        note;                                                                                                         \
        return original_##name arguments;                                                                             \
    }                                                                                                                 \
    struct Hook_##name {                                                                                              \
        static constexpr const char* LIBRARY = library;                                                               \
        static constexpr const char* NAME = #name;                                                                    \
        static void* counted() { return reinterpret_cast<void*>(counted_##name); }                                    \
        static void keep(void* original) { original_##name = reinterpret_cast<decltype(original_##name)>(original); } \
    };

GDI_COUNTED("gdi32.dll", BOOL, ExtTextOutW,
            (HDC dc, int x, int y, UINT options, const RECT* area, LPCWSTR text, UINT length, const INT* dx),
            (dc, x, y, options, area, text, length, dx), drawing(dc))
GDI_COUNTED("gdi32.dll", BOOL, TextOutW, (HDC dc, int x, int y, LPCWSTR text, int length), (dc, x, y, text, length),
            drawing(dc))
GDI_COUNTED("gdi32.dll", BOOL, LineTo, (HDC dc, int x, int y), (dc, x, y), drawing(dc))
GDI_COUNTED("gdi32.dll", BOOL, SetPixelV, (HDC dc, int x, int y, COLORREF color), (dc, x, y, color), drawing(dc))
GDI_COUNTED("gdi32.dll", BOOL, BitBlt,
            (HDC dc, int x, int y, int width, int height, HDC source, int source_x, int source_y, DWORD operation),
            (dc, x, y, width, height, source, source_x, source_y, operation), drawing(dc))
GDI_COUNTED("msimg32.dll", BOOL, AlphaBlend,
            (HDC dc, int x, int y, int width, int height, HDC source, int source_x, int source_y, int source_width,
             int source_height, BLENDFUNCTION function),
            (dc, x, y, width, height, source, source_x, source_y, source_width, source_height, function), drawing(dc))
GDI_COUNTED("gdi32.dll", BOOL, PatBlt, (HDC dc, int x, int y, int width, int height, DWORD operation),
            (dc, x, y, width, height, operation), drawing(dc))
GDI_COUNTED("user32.dll", int, FillRect, (HDC dc, const RECT* area, HBRUSH brush), (dc, area, brush), drawing(dc))
GDI_COUNTED("user32.dll", int, DrawTextW, (HDC dc, LPCWSTR text, int length, LPRECT area, UINT format),
            (dc, text, length, area, format), drawing(dc))
GDI_COUNTED("gdi32.dll", int, SaveDC, (HDC dc), (dc), {
    std::lock_guard guard(lock);
    ++by_dc[dc].saves;
})
GDI_COUNTED("gdi32.dll", HPEN, CreatePen, (int style, int width, COLORREF color), (style, width, color), {
    std::lock_guard guard(lock);
    ++made;
})
GDI_COUNTED("gdi32.dll", HBRUSH, CreateSolidBrush, (COLORREF color), (color), {
    std::lock_guard guard(lock);
    ++made;
})
GDI_COUNTED("gdi32.dll", HDC, CreateCompatibleDC, (HDC dc), (dc), {
    std::lock_guard guard(lock);
    ++made;
})
GDI_COUNTED("gdi32.dll", HBITMAP, CreateCompatibleBitmap, (HDC dc, int width, int height), (dc, width, height), {
    std::lock_guard guard(lock);
    ++made;
})

#undef GDI_COUNTED

}  // namespace gdi_calls

// While it lives, the counted calls of the whole program are counted (the program imports them; a function it
// does not import is not called by it either).
class GdiCallCount {
public:
    GdiCallCount() {
        hook<gdi_calls::Hook_ExtTextOutW>();
        hook<gdi_calls::Hook_TextOutW>();
        hook<gdi_calls::Hook_LineTo>();
        hook<gdi_calls::Hook_SetPixelV>();
        hook<gdi_calls::Hook_BitBlt>();
        hook<gdi_calls::Hook_AlphaBlend>();
        hook<gdi_calls::Hook_PatBlt>();
        hook<gdi_calls::Hook_FillRect>();
        hook<gdi_calls::Hook_DrawTextW>();
        hook<gdi_calls::Hook_SaveDC>();
        hook<gdi_calls::Hook_CreatePen>();
        hook<gdi_calls::Hook_CreateSolidBrush>();
        hook<gdi_calls::Hook_CreateCompatibleDC>();
        hook<gdi_calls::Hook_CreateCompatibleBitmap>();
        clear();
    }
    ~GdiCallCount() {
        for (const auto& [slot, original] : hooked_) gdi_calls::slot_write(slot, original);
    }
    GdiCallCount(const GdiCallCount&) = delete;
    GdiCallCount& operator=(const GdiCallCount&) = delete;

    // How many functions stand in the import table: none means nothing could be counted.
    size_t hooked() const { return hooked_.size(); }

    void clear() {
        std::lock_guard guard(gdi_calls::lock);
        gdi_calls::by_dc.clear();
        gdi_calls::made = 0;
    }
    std::map<HDC, GdiTally> by_dc() const {
        std::lock_guard guard(gdi_calls::lock);
        return gdi_calls::by_dc;
    }
    int made() const {
        std::lock_guard guard(gdi_calls::lock);
        return gdi_calls::made;
    }

private:
    template <typename Hook>
    void hook() {
        void** slot = gdi_calls::import_slot(Hook::LIBRARY, Hook::NAME);
        if (!slot) return;
        Hook::keep(*slot);
        hooked_.emplace_back(slot, *slot);
        gdi_calls::slot_write(slot, Hook::counted());
    }
    std::vector<std::pair<void**, void*>> hooked_;
};
