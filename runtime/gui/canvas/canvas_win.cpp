// Canvases over Win32: a child window painted from a 32-bit off-screen bitmap that any thread may draw on.
#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/canvas/canvas_surface_win.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/image/image_draw_win.h"
#include "runtime/gui/object/gui_objects_win.h"

namespace {

constexpr wchar_t CANVAS_CLASS[] = L"SotrixCanvas";

std::atomic<CanvasPictureMake> picture_make{image_blank_bitmap};

// The pixels of a picture made by image_blank_bitmap (a top-down 32-bit DIB section).
void* picture_bits(HBITMAP picture) {
    DIBSECTION section{};
    if (GetObjectW(picture, sizeof(section), &section) != sizeof(section)) return nullptr;
    return section.dsBm.bmBitsPixel == 32 ? section.dsBm.bmBits : nullptr;
}

std::shared_ptr<CanvasSurface> surface_of(int number) {
    GuiObject object;
    if (!gui_object_get(false, number, &object) || object.kind != GUI_KIND_CANVAS) return nullptr;
    return object.canvas;
}

bool canvas_object(HWND hwnd, GuiObject* object) {
    return gui_control_by_hwnd(hwnd, object) && object->kind == GUI_KIND_CANVAS && object->canvas;
}

// Copies the picture onto a target; what lies beyond the picture is filled with the canvas's colour.
void paint_from_surface(CanvasSurface& surface, HDC target, const RECT& area) {
    std::lock_guard hold(surface.lock);
    RECT client{};
    GetClientRect(surface.hwnd, &client);
    if (!surface.bitmap) {
        // Nothing was drawn yet: the whole canvas shows its fill colour.
        HBRUSH fill = CreateSolidBrush(surface.fill);
        FillRect(target, &area, fill);
        DeleteObject(fill);
        return;
    }
    if (surface.dc) {
        const int right = std::min<int>(area.right, surface.width);
        const int bottom = std::min<int>(area.bottom, surface.height);
        if (right > area.left && bottom > area.top) {
            BitBlt(target, area.left, area.top, right - area.left, bottom - area.top, surface.dc, area.left, area.top,
                   SRCCOPY);
        }
    }
    HBRUSH fill = CreateSolidBrush(surface.fill);
    if (client.right > surface.width) {
        RECT beyond{surface.width, 0, client.right, client.bottom};
        FillRect(target, &beyond, fill);
    }
    if (client.bottom > surface.height) {
        RECT below{0, surface.height, std::min<int>(surface.width, client.right), client.bottom};
        FillRect(target, &below, fill);
    }
    DeleteObject(fill);
}

void post_canvas_event(const GuiObject& object, int type, int x, int y, int wheel = 0) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = type;
    event.x = x;
    event.y = y;
    event.wheel = wheel;
    gui_event_post(event);
}

bool inside_client(HWND hwnd, int x, int y) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

LRESULT CALLBACK canvas_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    GuiObject object;
    if (!canvas_object(hwnd, &object)) return DefWindowProcW(hwnd, message, wparam, lparam);
    LRESULT result = 0;
    if (gui_callback_answer(object.window, hwnd, message, wparam, lparam, &result)) return result;
    CanvasSurface& surface = *object.canvas;
    const int x = GET_X_LPARAM(lparam);
    const int y = GET_Y_LPARAM(lparam);
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            if (dc) paint_from_surface(surface, dc, paint.rcPaint);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT client{};
            GetClientRect(hwnd, &client);
            paint_from_surface(surface, reinterpret_cast<HDC>(wparam), client);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            surface.pressed = message;
            SetCapture(hwnd);
            if (object.flags & CANVAS_KEYBOARD) SetFocus(hwnd);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            const UINT down = message == WM_LBUTTONUP ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
            const bool clicked = surface.pressed == down && inside_client(hwnd, x, y);
            surface.pressed = 0;
            if (GetCapture() == hwnd) ReleaseCapture();
            if (clicked) {
                post_canvas_event(object, message == WM_LBUTTONUP ? EVENT_TYPE_LEFT_CLICK : EVENT_TYPE_RIGHT_CLICK, x,
                                  y);
            }
            return 0;
        }
        case WM_LBUTTONDBLCLK: post_canvas_event(object, EVENT_TYPE_LEFT_DOUBLE_CLICK, x, y); return 0;
        case WM_RBUTTONDBLCLK: post_canvas_event(object, EVENT_TYPE_RIGHT_DOUBLE_CLICK, x, y); return 0;
        case WM_MOUSEMOVE:
            if (!surface.tracking) {
                TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
                surface.tracking = TrackMouseEvent(&track) != FALSE;
                post_canvas_event(object, EVENT_TYPE_MOUSE_ENTER, x, y);
            } else {
                post_canvas_event(object, EVENT_TYPE_MOUSE_MOVE, x, y);
            }
            return 0;
        case WM_MOUSELEAVE:
            surface.tracking = false;
            post_canvas_event(object, EVENT_TYPE_MOUSE_LEAVE, 0, 0);
            return 0;
        case WM_MOUSEWHEEL: {
            POINT point{x, y};
            ScreenToClient(hwnd, &point);
            const int delta = GET_WHEEL_DELTA_WPARAM(wparam);
            int notches = delta / WHEEL_DELTA;
            if (notches == 0 && delta != 0) notches = delta > 0 ? 1 : -1;
            post_canvas_event(object, EVENT_TYPE_MOUSE_WHEEL, point.x, point.y, notches);
            return 0;
        }
        case WM_CAPTURECHANGED: surface.pressed = 0; return 0;
        default: break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

CanvasSurface::~CanvasSurface() {
    if (dc && original_bitmap) SelectObject(dc, original_bitmap);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
}

void canvas_picture_make_set(CanvasPictureMake make) { picture_make = make ? make : image_blank_bitmap; }

HBITMAP CanvasSurface::picture_fitting(int& fit_width, int& fit_height, int64_t floor) const {
    if (int64_t{fit_width} * 4 > CANVAS_PICTURE_MAX_BYTES) fit_width = static_cast<int>(CANVAS_PICTURE_MAX_BYTES / 4);
    if (int64_t{fit_width} * fit_height * 4 > CANVAS_PICTURE_MAX_BYTES) {
        fit_height = static_cast<int>(CANVAS_PICTURE_MAX_BYTES / (int64_t{fit_width} * 4));
    }
    for (;;) {
        if (int64_t{fit_width} * fit_height <= floor) return nullptr;
        if (HBITMAP picture = picture_make.load()(fit_width, fit_height, fill)) return picture;
        if (fit_width == 1 && fit_height == 1) return nullptr;
        if (fit_height >= fit_width) {
            fit_height = std::max(1, fit_height / 2);
        } else {
            fit_width = std::max(1, fit_width / 2);
        }
    }
}

bool CanvasSurface::resize(int new_width, int new_height) {
    new_width = std::max(new_width, 1);
    new_height = std::max(new_height, 1);
    if (!bitmap) {
        width = wanted_width = new_width;
        height = wanted_height = new_height;
        picture_short = false;
        return true;
    }
    // The same size again: nothing to do, unless the picture fell short, when a larger one may be had now.
    if (new_width == wanted_width && new_height == wanted_height && !picture_short) return true;
    wanted_width = new_width;
    wanted_height = new_height;
    // A picture exists, selected into its device context: what was drawn stays where it was. A new picture no
    // larger than the old one is not worth the old one's contents beyond it.
    int fit_width = new_width;
    int fit_height = new_height;
    const int64_t kept = std::min<int64_t>(int64_t{width} * height, int64_t{new_width} * new_height - 1);
    HBITMAP fresh = picture_fitting(fit_width, fit_height, kept);
    if (fresh) {
        if (HDC copy_dc = CreateCompatibleDC(nullptr)) {
            HGDIOBJ previous = SelectObject(copy_dc, fresh);
            BitBlt(copy_dc, 0, 0, std::min(width, fit_width), std::min(height, fit_height), dc, 0, 0, SRCCOPY);
            SelectObject(copy_dc, previous);
            DeleteDC(copy_dc);
        }
        SelectObject(dc, fresh);
        DeleteObject(bitmap);
        bitmap = fresh;
        bits = picture_bits(fresh);
        width = fit_width;
        height = fit_height;
    }
    picture_short = width < wanted_width || height < wanted_height;
    return !picture_short;
}

bool CanvasSurface::picture_ensure() {
    if (bitmap) return true;
    if (!dc) {
        dc = CreateCompatibleDC(nullptr);
        if (!dc) return false;
    }
    int fit_width = wanted_width;
    int fit_height = wanted_height;
    HBITMAP fresh = picture_fitting(fit_width, fit_height, 0);
    if (!fresh) return false;
    original_bitmap = SelectObject(dc, fresh);
    bitmap = fresh;
    bits = picture_bits(fresh);
    width = fit_width;
    height = fit_height;
    picture_short = width < wanted_width || height < wanted_height;
    return true;
}

bool canvas_class_register() {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = canvas_proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = CANVAS_CLASS;
    return RegisterClassExW(&window_class) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int canvas_create(int number, const GuiParent& parent, int x, int y, int width, int height, int flags, int32_t color) {
    auto surface = std::make_shared<CanvasSurface>();
    surface->fill = static_cast<COLORREF>(color & 0xFFFFFF);
    if (!surface->resize(gui_scale(width), gui_scale(height))) return 0;
    const DWORD style = WS_VISIBLE | WS_CLIPSIBLINGS | ((flags & CANVAS_BORDER) ? WS_BORDER : 0);
    number = gui_child_create(number, GUI_KIND_CANVAS, CANVAS_CLASS, parent, x, y, width, height, L"", style, 0, flags);
    if (number == 0) return 0;
    gui_object_update(false, number, [&](GuiObject& object) {
        surface->hwnd = object.hwnd;
        object.canvas = surface;
    });
    // Until the picture is attached the canvas paints nothing; paint it now that it has one.
    InvalidateRect(surface->hwnd, nullptr, FALSE);
    return number;
}

bool canvas_resize(int number, int x, int y, int width, int height) {
    GuiObject object;
    if (!gui_object_get(false, number, &object) || object.kind != GUI_KIND_CANVAS || !object.canvas) return false;
    RECT now{};
    GetWindowRect(object.hwnd, &now);
    MapWindowPoints(nullptr, GetParent(object.hwnd), reinterpret_cast<POINT*>(&now), 2);
    const int left = x == GUI_KEEP ? now.left : gui_scale(x);
    const int top = y == GUI_KEEP ? now.top : gui_scale(y);
    const int pixel_width = width == GUI_KEEP ? now.right - now.left : gui_scale(width);
    const int pixel_height = height == GUI_KEEP ? now.bottom - now.top : gui_scale(height);
    {
        std::lock_guard hold(object.canvas->lock);
        object.canvas->resize(pixel_width, pixel_height);
    }
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!gui_on_main_thread()) flags |= SWP_ASYNCWINDOWPOS;
    SetWindowPos(object.hwnd, nullptr, left, top, pixel_width, pixel_height, flags);
    InvalidateRect(object.hwnd, nullptr, FALSE);
    return true;
}

bool canvas_pixel_size(int number, int* width, int* height) {
    auto surface = surface_of(number);
    if (!surface) return false;
    std::lock_guard hold(surface->lock);
    *width = surface->width;
    *height = surface->height;
    return true;
}

bool canvas_picture_short(int number) {
    auto surface = surface_of(number);
    if (!surface) return false;
    std::lock_guard hold(surface->lock);
    return surface->picture_short;
}

bool canvas_picture_made(int number) {
    auto surface = surface_of(number);
    if (!surface) return false;
    std::lock_guard hold(surface->lock);
    return surface->bitmap != nullptr;
}

CanvasDraw::CanvasDraw(int canvas) : surface_(surface_of(canvas)) {
    if (!surface_) return;
    hold_ = std::unique_lock(surface_->lock);
    if (!surface_->picture_ensure()) return;
    saved_ = SaveDC(surface_->dc);
    dc_ = surface_->dc;
    bits_ = surface_->bits;
    width_ = surface_->width;
    height_ = surface_->height;
}

CanvasDraw::~CanvasDraw() {
    if (!surface_) return;
    HWND hwnd = surface_->hwnd;
    if (dc_) {
        if (saved_) RestoreDC(dc_, saved_);
        GdiFlush();
    }
    if (hold_.owns_lock()) hold_.unlock();
    // Marks the control for repainting; the main thread paints it from the picture. Never waits.
    if (hwnd && dc_) InvalidateRect(hwnd, nullptr, FALSE);
}
