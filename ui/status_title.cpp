// The status title: a text shown for some seconds in place of the main window's title, with its age marker.
#include "ui/status_title.h"

#include <atomic>
#include <string>

#include "core/format_text.h"
#include "core/shared_state.h"
#include "runtime/date.h"

namespace {

std::atomic<StatusTitleWriter> title_writer{nullptr};

void write_title(std::wstring_view title) {
    if (const StatusTitleWriter writer = title_writer.load()) writer(title);
}

}  // namespace

std::wstring status_title_render(std::wstring_view text, std::wstring_view age) {
    std::wstring title;
    title.reserve(text.size() + age.size());
    for (const wchar_t character : text) {
        if (character == L'~') {
            title += age;
        } else {
            title += character;
        }
    }
    return title;
}

void status_title_set_writer(StatusTitleWriter writer) { title_writer = writer; }

void status_title_set(std::wstring_view text, int seconds) { status_title_set_at(text, seconds, date_now()); }

void status_title_set_at(std::wstring_view text, int seconds, Date now) {
    if (text.empty() || text == shared_text(STATUS_TITLE)) return;
    shared_text_set(STATUS_TITLE, std::wstring(text));
    write_title(text.find(L'~') == std::wstring_view::npos ? std::wstring(text)
                                                           : status_title_render(text, format_age()));
    SharedQuads[TITLE_HOLD_UNTIL] = now + seconds;
}

void status_title_refresh(std::wstring_view text) { write_title(status_title_render(text, format_age())); }

void status_title_tick(Date now) {
    const Date until = SharedQuads[TITLE_HOLD_UNTIL].load();
    if (until > 0 && until < now) {
        SharedQuads[TITLE_HOLD_UNTIL] = 0;
        write_title(shared_text(MAIN_TITLE));
        shared_text_set(STATUS_TITLE, L"");
        SharedQuads[AGE_STAMP] = 0;
        return;
    }
    const std::wstring status = shared_text(STATUS_TITLE);
    if (status.find(L'~') != std::wstring::npos) status_title_refresh(status);
}
