// Drawing a caption over its blended backdrop with GDI.
#include "ui/shadowed_text_draw_win.h"

namespace {

int target_height(HDC dc) {
    BITMAP bitmap{};
    HGDIOBJ selected = GetCurrentObject(dc, OBJ_BITMAP);
    if (selected && GetObjectW(selected, sizeof(bitmap), &bitmap) == sizeof(bitmap) && bitmap.bmHeight > 0)
        return bitmap.bmHeight;
    RECT clip{};
    GetClipBox(dc, &clip);
    return clip.bottom;
}

// A one-pixel bitmap of the colour, stretched and blended over each box clipped to its rounded shape.
void blend_rounded_box(HDC dc, HDC pixel_dc, const ShadowBox& box, int alpha) {
    if (box.width <= 0 || box.height <= 0) return;
    HRGN region = CreateRoundRectRgn(box.left, box.top, box.left + box.width + 1, box.top + box.height + 1, 6, 6);
    if (!region) return;
    const int saved = SaveDC(dc);
    ExtSelectClipRgn(dc, region, RGN_AND);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    AlphaBlend(dc, box.left, box.top, box.width + 1, box.height + 1, pixel_dc, 0, 0, 1, 1, blend);
    RestoreDC(dc, saved);
    DeleteObject(region);
}

}  // namespace

void draw_shadowed_text(HDC dc, int x, int y, int alpha, std::wstring_view text, uint32_t text_color,
                        uint32_t shadow_color) {
    alpha = alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);

    HDC pixel_dc = CreateCompatibleDC(dc);
    HBITMAP pixel = CreateCompatibleBitmap(dc, 1, 1);
    if (pixel_dc && pixel) {
        HGDIOBJ old_bitmap = SelectObject(pixel_dc, pixel);
        SetPixelV(pixel_dc, 0, 0, shadow_color & 0xFFFFFF);
        for (const ShadowBox& box : shadow_boxes(x, y, size.cx, target_height(dc)))
            blend_rounded_box(dc, pixel_dc, box, alpha);
        SelectObject(pixel_dc, old_bitmap);
    }
    if (pixel) DeleteObject(pixel);
    if (pixel_dc) DeleteDC(pixel_dc);

    const int old_mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF old_color = SetTextColor(dc, text_color & 0xFFFFFF);
    TextOutW(dc, x, y, text.data(), static_cast<int>(text.size()));
    SetTextColor(dc, old_color);
    SetBkMode(dc, old_mode);
}
