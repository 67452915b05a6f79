// The status title: shown once per text, held for its seconds, with the age in place of "~".
#include "ui/status_title.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shared_state.h"

namespace {

std::vector<std::wstring> titles;
void record_title(std::wstring_view title) { titles.emplace_back(title); }

class StatusTitle : public ::testing::Test {
protected:
    void SetUp() override {
        shared_state_init(SharedStateFacts{});
        shared_text_set(MAIN_TITLE, L"Sotrix main");
        titles.clear();
        status_title_set_writer(record_title);
    }
    void TearDown() override { status_title_set_writer(nullptr); }
};

TEST_F(StatusTitle, ATextIsShownAndHeld) {
    status_title_set_at(L"Saved to Clipboard", 20, 1000);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], L"Saved to Clipboard");
    EXPECT_EQ(SharedQuads[TITLE_HOLD_UNTIL].load(), 1020);
    // The same text again does not extend the hold; an empty text changes nothing.
    status_title_set_at(L"Saved to Clipboard", 20, 1015);
    status_title_set_at(L"", 20, 1015);
    EXPECT_EQ(titles.size(), 1u);
    EXPECT_EQ(SharedQuads[TITLE_HOLD_UNTIL].load(), 1020);
    status_title_tick(1020);  // not past yet
    EXPECT_EQ(titles.size(), 1u);
    status_title_tick(1021);
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[1], L"Sotrix main");
    EXPECT_EQ(shared_text(STATUS_TITLE), L"");
    EXPECT_EQ(SharedQuads[TITLE_HOLD_UNTIL].load(), 0);
}

TEST_F(StatusTitle, TheMarkerShowsTheAgeOfTheStamp) {
    EXPECT_EQ(status_title_render(L"Value 5 ~", L"~ 1m 30s ago"), L"Value 5 ~ 1m 30s ago");
    EXPECT_EQ(status_title_render(L"~ and ~", L"x"), L"x and x");
    SharedQuads[AGE_STAMP] = 0;
    status_title_set_at(L"Value 5 ~", 20, 1000);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], L"Value 5 ");  // no stamp: the marker stands for nothing
    SharedQuads[AGE_STAMP] = date_now() - 90;
    status_title_tick(1001);  // a text with the marker is drawn again each second
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[1].rfind(L"Value 5 ~ 1m 3", 0), 0u);  // 90 s, or 91 when a second passed meanwhile
    EXPECT_EQ(titles[1].substr(titles[1].size() - 4), L" ago");
    status_title_tick(1021);
    EXPECT_EQ(SharedQuads[AGE_STAMP].load(), 0);
}

TEST_F(StatusTitle, WorksWithoutAWindow) {
    status_title_set_writer(nullptr);
    status_title_set_at(L"Clearing List", 3, 50);
    EXPECT_EQ(shared_text(STATUS_TITLE), L"Clearing List");
    EXPECT_EQ(SharedQuads[TITLE_HOLD_UNTIL].load(), 53);
}

}  // namespace
