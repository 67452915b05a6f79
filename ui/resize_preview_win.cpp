// The window-size preview on the Settings tab: the picture of the desktop with the chosen window, and the
// size box's text.
#include <windows.h>

#include <string>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/image/image.h"
#include "runtime/gui/image/image_draw_win.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "runtime/gui/window/window.h"
#include "ui/main_window_pages.h"
#include "ui/resize_preview.h"
#include "ui/settings_page.h"

namespace {

int step_of(int track_bar, SharedIntIndex stored) {
    const int position = track_bar_value(track_bar);
    return position >= 0 ? position : SharedInts[stored].load();
}

void box_draw(HDC dc, const PreviewBox& box) {
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(box.color));
    if (!brush) return;
    if (box.corner > 0) {
        const HGDIOBJ old_brush = SelectObject(dc, brush);
        const HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
        // A null pen draws one pixel short on the right and bottom.
        RoundRect(dc, box.x, box.y, box.x + box.width + 1, box.y + box.height + 1, 2 * box.corner, 2 * box.corner);
        SelectObject(dc, old_pen);
        SelectObject(dc, old_brush);
    } else {
        const RECT area{box.x, box.y, box.x + box.width, box.y + box.height};
        FillRect(dc, &area, brush);
    }
    DeleteObject(brush);
}

enum class TextPlace { CENTRE, BOTTOM_LEFT, TOP_RIGHT };

void text_draw(HDC dc, const std::wstring& text, TextPlace place, int width, int height) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    int x = 1;
    int y = 0;
    switch (place) {
        case TextPlace::CENTRE:
            x = width / 2 - size.cx / 2;
            y = height / 2 - size.cy / 2;
            break;
        case TextPlace::BOTTOM_LEFT: y = height - size.cy - 10; break;
        case TextPlace::TOP_RIGHT: x = width - size.cx - 2; break;
    }
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

void resize_preview_update() {
    const DesktopFacts desktop = desktop_facts();
    const std::wstring command_line = shared_text(COMMAND_LINE);
    const ResizePreviewSize size =
        resize_preview_size(command_line, desktop, step_of(TRACK_WINDOW_WIDTH, MAIN_WIDTH_STEP),
                            step_of(TRACK_WINDOW_HEIGHT, MAIN_HEIGHT_STEP));
    int width = 0;
    int height = 0;
    const bool current =
        window_inner_size(WIN_MAIN, &width, &height) && width == size.inner.width && height == size.inner.height;
    int state = SharedInts[RESIZE_INFO_STATE].load();
    std::wstring text;
    const std::wstring restart = shown(L"Program Restart Required");
    const std::wstring active = shown(L"Active");
    if (resize_info_update(shared_text(RESIZE_INFO_TEXT), command_line, current, ResizeInfoWords{restart, active},
                           &state, &text)) {
        SharedInts[RESIZE_INFO_STATE] = state;
        control_text_set(TEXT_RESIZE_INFO, text);
    }

    const PreviewPicture picture = preview_picture(SharedFloats[SETTINGS_SCALE].load(), desktop, size.inner);
    if (!image_create(IMAGE_RESIZE_PREVIEW, picture.width, picture.height, picture.boxes[0].color)) return;
    {
        ImageDraw draw(IMAGE_RESIZE_PREVIEW);
        if (!draw) return;
        const HDC dc = draw.dc();
        for (const PreviewBox& box : picture.boxes) box_draw(dc, box);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, static_cast<COLORREF>(PREVIEW_TEXT_COLOR));
        const HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        text_draw(dc, size.size_text, TextPlace::CENTRE, picture.width, picture.height);
        text_draw(dc, size.width_percent, TextPlace::BOTTOM_LEFT, picture.width, picture.height);
        text_draw(dc, size.height_percent, TextPlace::TOP_RIGHT, picture.width, picture.height);
        SelectObject(dc, old_font);
    }
    picture_image_show(PICTURE_RESIZE_PREVIEW, IMAGE_RESIZE_PREVIEW);
}
