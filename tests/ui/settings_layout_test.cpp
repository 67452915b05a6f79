// The Settings page's rows and their places: columns, frames, the boxes at the page top and the size box.
#include "ui/settings_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/control_numbers.h"

namespace {

// The page as the build places it: each control's places by number, frames by their caption.
struct PlacedPage {
    std::map<int, SettingsRowPlaces> controls;
    std::map<std::wstring, UnitRect> frames;
    std::vector<UnitRect> choosers;
};

PlacedPage place_page(const SettingsPageFrame& frame) {
    PlacedPage page;
    settings_page_place(
        frame,
        [&](const SettingsRow& row, const SettingsRowPlaces& places) {
            if (row.type == ROW_FRAME)
                page.frames[std::wstring(row.label)] = places.control;
            else if (row.control >= 0)
                page.controls[row.control] = places;
        },
        [&](const UnitRect& chooser) { page.choosers.push_back(chooser); });
    return page;
}

TEST(SettingsLayout, ThreeColumnsCentredOnThePanel) {
    for (const int width : {800, 786, 1200}) {
        const PlacedPage page = place_page({1.0f, width, 520});
        const int offset = (width - 800) / 2;  // negative on a narrow panel
        EXPECT_EQ(page.frames.at(L"Program Settings").x, 4 + offset) << width;
        EXPECT_EQ(page.frames.at(L"Data Log").x, 320 + offset) << width;
        EXPECT_EQ(page.controls.at(BUTTON_IMPORT_SETTINGS).control.x, 640 + offset) << width;
        EXPECT_EQ(page.controls.at(CHECK_ALWAYS_ON_TOP).control, (UnitRect{14 + offset, 20, 150, 20})) << width;
    }
}

TEST(SettingsLayout, FramesEncloseTheirRowsAndFollowEachOther) {
    const PlacedPage page = place_page({1.0f, 800, 520});
    const UnitRect first = page.frames.at(L"Program Settings");
    EXPECT_EQ(first.y, 2) << "the page top plus 2";
    const UnitRect tray = page.frames.at(L"System Tray");
    EXPECT_EQ(tray.y, first.bottom() + 2) << "2 units below the frame before";
    EXPECT_EQ(page.frames.at(L"Optimization").y, tray.bottom() + 2);
    for (const int box : {CHECK_ALWAYS_ON_TOP, CHECK_SOUND, CHECK_RESTORE_SESSION, COMBO_TITLE_TEXT}) {
        const UnitRect place = page.controls.at(box).control;
        EXPECT_GT(place.y, first.y) << box;
        EXPECT_LE(place.bottom(), first.bottom()) << box;
    }
    for (const int box : {CHECK_TRAY_ICON, CHECK_MINIMIZE_TO_TRAY}) {
        EXPECT_GT(page.controls.at(box).control.y, tray.y) << box;
        EXPECT_LE(page.controls.at(box).control.bottom(), tray.bottom()) << box;
    }
    // The combo box and its label share a line; the next row starts below the box.
    const SettingsRowPlaces idle = page.controls.at(COMBO_LONG_IDLE);
    EXPECT_EQ(idle.label.right(), idle.control.x);
    EXPECT_GE(page.controls.at(COMBO_TITLE_TEXT).control.y, idle.control.bottom());
}

TEST(SettingsLayout, BoxesAtThePageTopAndTheSizeBox) {
    const PlacedPage page = place_page({1.5f, 1200, 780});
    const int column = 4 * 1.5;  // page top 0: the panel is exactly 1.5 x 520 high
    EXPECT_EQ(page.controls.at(TEXT_POSITIONS_BOX).control, (UnitRect{column + 270, 4, 188, 51}));
    EXPECT_EQ(page.controls.at(TEXT_LOG_BUFFER).control.y, 4);
    // The narrow boxes of rows 1 and 25 end before the boxes at their right.
    EXPECT_LE(page.controls.at(CHECK_ALWAYS_ON_TOP).control.right(), page.controls.at(TEXT_POSITIONS_BOX).control.x);
    EXPECT_LE(page.controls.at(CHECK_LOG_FILE).control.right(), page.controls.at(TEXT_LOG_BUFFER).control.x);
    // The slider stands right of the narrow "Transparent Window" box on the same line.
    EXPECT_EQ(page.controls.at(TRACK_TRANSPARENCY).control.y, page.controls.at(CHECK_TRANSPARENT).control.y);
    EXPECT_EQ(page.controls.at(TRACK_TRANSPARENCY).control.x, page.controls.at(CHECK_TRANSPARENT).control.right());

    const SettingsRowPlaces size = page.controls.at(PICTURE_RESIZE_PREVIEW);
    EXPECT_EQ(size.control.width, 288);
    EXPECT_EQ(size.control.height, 162);
    EXPECT_EQ(size.extra.y, size.control.bottom() + 6 - 4) << "the width slider under the picture (raised by 1.5 x 4)";
    EXPECT_EQ(size.extra2.x, size.control.right()) << "the height slider at its right";
    EXPECT_EQ(size.extra3.x, size.extra2.right() + 1);
    const UnitRect log_folder = page.controls.at(TEXT_LOG_FOLDER).control;
    ASSERT_EQ(page.choosers.size(), 1u) << "one log-folder chooser";
    const UnitRect chooser = page.choosers.front();
    EXPECT_EQ(chooser.x, page.controls.at(TEXT_LOG_FOLDER).control.x) << "in the second column, as the folder text";
    EXPECT_EQ(chooser.y, page.controls.at(BUTTON_PORTABLE_LOG_FOLDER).control.y + scaled_units(1.5f, 21))
        << "one caption line below the Portable and Default buttons";
    EXPECT_EQ(chooser.bottom() + 3, log_folder.y) << "the chooser right above the folder text";
    EXPECT_EQ(page.controls.at(BUTTON_SET_LOG_FOLDER).control.y, log_folder.y);
    EXPECT_GT(page.controls.at(BUTTON_SET_LOG_FOLDER).control.x, log_folder.right());
    EXPECT_GT(size.control.y, log_folder.bottom()) << "the size box below the folder row";
    // Every control stays on the page.
    for (const auto& [number, places] : page.controls) {
        EXPECT_LE(places.control.bottom(), 780) << number;
        EXPECT_LE(places.control.right(), 1200) << number;
    }
    EXPECT_LE(page.frames.at(L"Resize Window").bottom(), 780);
}

// The wide buttons of the third column follow each other, with a gap of 10 units (unscaled) between Export
// and Shutdown.
TEST(SettingsLayout, TheThirdColumnsButtonsLeaveAGapBeforeShutdown) {
    for (const float scale : {1.0f, 1.5f}) {
        const PlacedPage page = place_page({scale, 1200, 780});
        const int advance = scaled_units(scale, 22);
        const int import_y = page.controls.at(BUTTON_IMPORT_SETTINGS).control.y;
        EXPECT_EQ(page.controls.at(BUTTON_EXPORT_SETTINGS).control.y, import_y + advance) << scale;
        EXPECT_EQ(page.controls.at(BUTTON_SHUTDOWN).control.y, import_y + 2 * advance + 10) << scale;
        EXPECT_EQ(page.controls.at(BUTTON_RESTART).control.y, import_y + 3 * advance + 10) << scale;
    }
}

}  // namespace
