// Numbered images over GDI: decoded icons and 32-bit pictures, with icons made from pictures on demand.
#include <windows.h>

#include <map>
#include <mutex>
#include <vector>

#include "runtime/gui/image/ico_directory.h"
#include "runtime/gui/image/image.h"
#include "runtime/gui/image/image_draw_win.h"

struct ImageRecord {
    std::mutex lock;       // held while the picture is drawn on or turned into an icon
    HICON icon = nullptr;  // a decoded icon, or the icon made from the picture
    bool icon_from_picture = false;
    HBITMAP picture = nullptr;
    int width = 0;
    int height = 0;

    ImageRecord() = default;
    ImageRecord(const ImageRecord&) = delete;
    ImageRecord& operator=(const ImageRecord&) = delete;
    ~ImageRecord() {
        if (icon) DestroyIcon(icon);
        if (picture) DeleteObject(picture);
    }
};

namespace {

struct ImageTable {
    std::mutex lock;  // leaf lock of the table
    std::map<int, std::shared_ptr<ImageRecord>> images;
};

ImageTable& images() {
    static ImageTable table;
    return table;
}

std::shared_ptr<ImageRecord> image_of(int number) {
    ImageTable& table = images();
    std::lock_guard guard(table.lock);
    const auto found = table.images.find(number);
    return found == table.images.end() ? nullptr : found->second;
}

void image_put(int number, std::shared_ptr<ImageRecord> record) {
    ImageTable& table = images();
    std::lock_guard guard(table.lock);
    table.images[number] = std::move(record);
}

}  // namespace

bool image_from_ico(int number, std::span<const std::uint8_t> bytes, int size) {
    IcoImage found;
    if (!ico_find_image(bytes, size, &found)) return false;
    HICON icon =
        CreateIconFromResourceEx(const_cast<PBYTE>(bytes.data() + found.offset), static_cast<DWORD>(found.size), TRUE,
                                 0x00030000, found.width, found.height, LR_DEFAULTCOLOR);
    if (!icon) return false;
    auto record = std::make_shared<ImageRecord>();
    record->icon = icon;
    record->width = found.width;
    record->height = found.height;
    image_put(number, std::move(record));
    return true;
}

bool image_create(int number, int width, int height, int32_t color) {
    if (width < 1 || height < 1) return false;
    HBITMAP picture = image_blank_bitmap(width, height, static_cast<COLORREF>(color & 0xFFFFFF));
    if (!picture) return false;
    auto record = std::make_shared<ImageRecord>();
    record->picture = picture;
    record->width = width;
    record->height = height;
    image_put(number, std::move(record));
    return true;
}

void image_free(int number) {
    ImageTable& table = images();
    std::shared_ptr<ImageRecord> freed;  // released after the table's lock
    std::lock_guard guard(table.lock);
    const auto found = table.images.find(number);
    if (found == table.images.end()) return;
    freed = std::move(found->second);
    table.images.erase(found);
}

bool image_exists(int number) { return image_of(number) != nullptr; }

bool image_size(int number, int* width, int* height) {
    auto record = image_of(number);
    if (!record) return false;
    *width = record->width;
    *height = record->height;
    return true;
}

ImageDraw::ImageDraw(int image) : image_(image_of(image)) {
    if (!image_ || !image_->picture) return;
    hold_ = std::unique_lock(image_->lock);
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_) previous_ = SelectObject(dc_, image_->picture);
}

ImageDraw::~ImageDraw() {
    if (!image_) return;
    if (dc_) {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        GdiFlush();
        // The icon made from the old picture no longer matches it.
        if (image_->icon_from_picture && image_->icon) {
            DestroyIcon(image_->icon);
            image_->icon = nullptr;
            image_->icon_from_picture = false;
        }
    }
}

bool image_draw_to(HDC target, int image, int x, int y) {
    auto record = image_of(image);
    if (!record) return false;
    std::lock_guard hold(record->lock);
    if (record->picture) {
        HDC dc = CreateCompatibleDC(target);
        if (!dc) return false;
        HGDIOBJ previous = SelectObject(dc, record->picture);
        BitBlt(target, x, y, record->width, record->height, dc, 0, 0, SRCCOPY);
        SelectObject(dc, previous);
        DeleteDC(dc);
        return true;
    }
    return record->icon && DrawIconEx(target, x, y, record->icon, record->width, record->height, 0, nullptr, DI_NORMAL);
}

HICON image_icon(int image) {
    auto record = image_of(image);
    if (!record) return nullptr;
    std::lock_guard hold(record->lock);
    if (record->icon || !record->picture) return record->icon;
    // A picture becomes an opaque icon: an all-zero mask lets every pixel of the picture through.
    std::vector<BYTE> mask_bits(static_cast<size_t>((record->width + 15) / 16 * 2 * record->height), 0);
    HBITMAP mask = CreateBitmap(record->width, record->height, 1, 1, mask_bits.data());
    ICONINFO info{TRUE, 0, 0, mask, record->picture};
    record->icon = mask ? CreateIconIndirect(&info) : nullptr;
    record->icon_from_picture = record->icon != nullptr;
    if (mask) DeleteObject(mask);
    return record->icon;
}

HBITMAP image_blank_bitmap(int width, int height, COLORREF color) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) {
        HGDIOBJ previous = SelectObject(dc, picture);
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    return picture;
}
