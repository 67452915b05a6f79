// The About tab: the program's name and version, the maker's notice, two links and the data-file panel.
#include <windows.h>

#include <string>

#include "core/control_numbers.h"
#include "core/version.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/link_label/link_label.h"
#include "runtime/gui/text/text.h"
#include "ui/main_window_pages.h"

namespace {

constexpr wchar_t MAKER_NOTICE[] = L"Freeware system monitor for Windows";
constexpr wchar_t MAKER_LINE[] = L"Made by Brindale";
constexpr wchar_t WEBSITE_ADDRESS[] = L"https://sotrix.example/";
constexpr wchar_t DONATION_ADDRESS[] = L"https://sotrix.example/donate";
constexpr wchar_t SUPPORT_TEXT[] =
    L"If you were charged for Sotrix, obtain a refund\r\nfrom the vendor or contact your bank/credit card\r\n"
    L"company to dispute any transactions.\r\n\r\nWant to see more updates? Donate at:";

// The width of a text in a font, in units.
int text_width_units(const std::wstring& text, int font) {
    const HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HGDIOBJ>(font_handle(font)));
    SIZE size{};
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
    if (previous) SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return gui_unscale(size.cx);
}

void link_create(int number, const UnitRect& place, const wchar_t* address) {
    if (!link_label_create(number, gui_in_tab(PANEL_MAIN, TAB_ABOUT), place.x, place.y, place.width, place.height,
                           address)) {
        return;
    }
    control_tooltip_set(number, shown(L"Open Website Link"));
}

// Each link is only as wide as its text, centred where the full-width link stood, so that only the text
// itself reacts to the pointer.
void link_narrow(int number, const UnitRect& place) {
    const UnitRect narrowed = link_narrowed(place, text_width_units(control_text(number), FONT_ABOUT));
    control_move(number, narrowed.x, narrowed.y, narrowed.width, narrowed.height);
}

}  // namespace

void about_page_build(const MainBuild& build) {
    const AboutPage page = about_page(build.layout);
    const GuiParent on_page = gui_in_tab(PANEL_MAIN, TAB_ABOUT);
    const std::wstring about =
        std::wstring(program_name()) + L" " + version_text() + L"\r\n" + MAKER_NOTICE + L"\r\n\r\n" + shown(MAKER_LINE);
    text_label_create(TEXT_ABOUT, on_page, page.about_text.x, page.about_text.y, page.about_text.width,
                      page.about_text.height, about, TEXT_CENTER);
    link_create(LINK_WEBSITE, page.website_link, WEBSITE_ADDRESS);
    text_label_create(TEXT_ABOUT_SUPPORT, on_page, page.support_text.x, page.support_text.y, page.support_text.width,
                      page.support_text.height, shown(SUPPORT_TEXT), TEXT_CENTER);
    link_create(LINK_DONATION, page.donation_link, DONATION_ADDRESS);
    canvas_create(CANVAS_DATA_FILES, on_page, page.data_files.x, page.data_files.y, page.data_files.width,
                  page.data_files.height, 0, 0xFFFFFF);
    link_narrow(LINK_WEBSITE, page.website_link);
    link_narrow(LINK_DONATION, page.donation_link);
}
