// Numbered fonts over GDI. Replaced and freed fonts are kept until the process ends, because another
// thread may still have one selected for drawing; a run replaces a font only on a user's size change.
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/object/gui_objects_win.h"

namespace {

struct FontTable {
    std::mutex lock;  // leaf lock
    std::map<int, HFONT> fonts;
    std::vector<HFONT> retired;
};

FontTable& fonts() {
    static FontTable table;
    return table;
}

std::atomic<int> default_font{-1};

}  // namespace

bool font_load(int number, std::wstring_view face, int points, int styles) {
    LOGFONTW description{};
    description.lfHeight = -MulDiv(points, gui_dpi(), 72);
    description.lfWeight = (styles & FONT_STYLE_BOLD) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (styles & FONT_STYLE_ITALIC) ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = (styles & FONT_STYLE_PROOF)          ? PROOF_QUALITY
                            : (styles & FONT_STYLE_HIGH_QUALITY) ? ANTIALIASED_QUALITY
                                                                 : DEFAULT_QUALITY;
    description.lfPitchAndFamily = (styles & FONT_STYLE_FIXED_PITCH) ? (FIXED_PITCH | FF_MODERN) : DEFAULT_PITCH;
    const size_t length = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
    face.copy(description.lfFaceName, length);
    HFONT font = CreateFontIndirectW(&description);
    if (!font) return false;
    FontTable& table = fonts();
    std::lock_guard guard(table.lock);
    auto& slot = table.fonts[number];
    if (slot) table.retired.push_back(slot);
    slot = font;
    return true;
}

void font_free(int number) {
    FontTable& table = fonts();
    std::lock_guard guard(table.lock);
    const auto found = table.fonts.find(number);
    if (found == table.fonts.end()) return;
    table.retired.push_back(found->second);
    table.fonts.erase(found);
}

bool font_exists(int number) { return font_handle(number) != 0; }

intptr_t font_handle(int number) { return reinterpret_cast<intptr_t>(gui_font_handle(number)); }

HFONT gui_font_handle(int number) {
    FontTable& table = fonts();
    std::lock_guard guard(table.lock);
    const auto found = table.fonts.find(number);
    return found == table.fonts.end() ? nullptr : found->second;
}

void gui_default_font_set(int number) { default_font = number; }

int gui_default_font() { return default_font.load(); }
