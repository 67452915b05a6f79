// The Events tab's status line and search field without windows: the header, the prompt and held messages,
// and what the search field keeps when its mode changes.
#include <gtest/gtest.h>

#include "ui/events_tab_status.h"

namespace {

constexpr wchar_t HEADER[] = L"TimeStamp            Record    Event  Type     Source";
constexpr wchar_t PROMPT[] = L"Choose Event Log File";

TEST(EventsStatusLine, HeaderPromptAndHeldMessages) {
    const Date now = date_from_parts({2026, 12, 10, 8, 0, 0});
    struct Case {
        const char* what;
        const wchar_t* message;
        Date until;
        const wchar_t* log;
        std::wstring text;
        Date until_after;
    };
    const Case cases[] = {
        {"no log chosen", L"", 0, L"", L"\u25B2 Choose Event Log File", 0},
        {"a log chosen", L"", 0, L"System", HEADER, 0},
        {"a message is held 15 s", L"Font Size 12", 0, L"System", L">> Font Size 12", now + 15},
        {"a message during a hold starts a new hold", L"12 Search Results", now + 4, L"System", L">> 12 Search Results",
         now + 15},
        {"no message during a hold: the line stays white", L"", now + 4, L"Application", L"", now + 4},
    };
    for (const Case& c : cases) {
        const EventsStatusLine line = events_status_line_plan(c.message, now, c.until, c.log, HEADER, PROMPT);
        EXPECT_EQ(line.text, c.text) << c.what;
        EXPECT_EQ(line.until, c.until_after) << c.what;
    }
}

TEST(EventSearchField, TextStaysWithinItsKindOfField) {
    struct Case {
        int mode;
        int last_mode;
        const wchar_t* text;
        bool number_field;
        const wchar_t* cue;
        const wchar_t* kept;
    };
    const Case cases[] = {
        {2, 0, L"disk", false, L"Text Search", L"disk"},  // text mode to text mode keeps the text
        {4, 0, L"disk", true, L"ID Search", L""},         // to a number mode empties it
        {3, 4, L"51", true, L"ID Search", L"51"},        {1, 3, L"51", false, L"Text Search", L""},
        {0, 0, L"", false, L"Text Search", L""},
    };
    for (const Case& c : cases) {
        const EventSearchFieldPlan plan = event_search_field_plan(c.mode, c.last_mode, c.text);
        EXPECT_EQ(plan.number_field, c.number_field) << c.mode << " from " << c.last_mode;
        EXPECT_EQ(plan.cue, c.cue) << c.mode;
        EXPECT_EQ(plan.field_text, c.kept) << c.mode << " from " << c.last_mode;
    }
}

}  // namespace
