// The main window's size from the command words and size steps, the page layout values, the page fonts
// and the tab word of the command line.
#include "ui/main_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SizeCase {
    const wchar_t* command_line;
    DesktopFacts desktop;
    int width_step;
    int height_step;
    MainWindowSize expected;
};

TEST(MainWindowSize, FollowsTheCommandWordsAndTheSteps) {
    const DesktopFacts hd{1920, 1080, 96, 23};
    const SizeCase cases[] = {
        {L"minsize ", hd, 15, 15, {800, 550}},
        {L"norepair minsize ", {3840, 2160, 144, 34}, 15, 15, {800, 550}},  // whatever the monitor and DPI
        {L"maxsize ", hd, 0, 0, {1920, 1057}},
        {L"", hd, 0, 0, {800, 550}},      // 768 x 432 before the limits
        {L"", hd, 15, 15, {1920, 1057}},  // 100 %
        {L"", hd, 10, 10, {1536, 841}},   // 80 %
        {L"maxwidth ", hd, 5, 5, {1920, 625}},
        {L"maxheight ", hd, 10, 5, {1536, 1057}},
        {L"maxwidth maxheight ", hd, 0, 0, {1920, 1057}},
        {L"", {1920, 950, 96, 23}, 15, 5, {1920, 550}},  // 570 - 23 is below 550 + caption: 550
        {L"", {1920, 1000, 96, 23}, 15, 5, {1920, 577}},
        // Above 4096 pixels: 4096 wide, 4096 - caption high before the caption comes off the inner height.
        {L"maxsize ", {5120, 5000, 96, 23}, 0, 0, {4096, 4050}},
        // At 144 DPI the caption is taken off in units, like the rest of the size.
        {L"maxsize ", {2880, 1620, 144, 34}, 0, 0, {1920, 1057}},
        {L"", {2880, 1620, 144, 34}, 0, 0, {800, 550}},
        // Size steps out of range are held to 0..15.
        {L"", hd, -4, 99, {800, 1057}},
        {L"", hd, 99, -4, {1920, 550}},
        // No monitor size known: the smallest window.
        {L"maxsize ", {0, 0, 96, 23}, 0, 0, {800, 550}},
        // The frame is left room for, so the whole window fits the monitor.
        {L"maxsize ", {1920, 1080, 96, 23, 6, 6}, 0, 0, {1914, 1051}},
        {L"", {1920, 1080, 96, 23, 6, 6}, 10, 10, {1536, 841}},
        // A monitor smaller than the smallest window: the window shrinks to it rather than leaving the screen.
        {L"minsize ", {1280, 800, 144, 34, 6, 6}, 0, 0, {800, 506}},
        {L"", {800, 600, 96, 23, 6, 6}, 0, 0, {794, 550}},
    };
    for (const SizeCase& c : cases) {
        const MainWindowSize size = main_window_size(c.command_line, c.desktop, c.width_step, c.height_step);
        EXPECT_EQ(size.width, c.expected.width) << c.command_line << " " << c.desktop.monitor_width;
        EXPECT_EQ(size.height, c.expected.height) << c.command_line << " " << c.desktop.monitor_height;
    }
}

TEST(MainWindowSize, TheWordsAreLowerCaseParts) {
    const DesktopFacts hd{1920, 1080, 96, 23};
    EXPECT_EQ(main_window_size(L"MINSIZE ", hd, 15, 15).width, 1920);  // COMMAND_LINE holds lower-cased words
    EXPECT_EQ(main_window_size(L"xminsizex ", hd, 15, 15).width, 800);
    // "minsize" wins over "maxsize".
    EXPECT_EQ(main_window_size(L"maxsize minsize ", hd, 15, 15).width, 800);
}

TEST(PanelLayout, ValuesFromThePage) {
    // A page 790 x 521 units (the smallest window) gives scale 1 for both.
    PanelLayout small = panel_layout(790, 521, 96);
    EXPECT_EQ(small.panel_width, 786);
    EXPECT_EQ(small.panel_height, 520);
    EXPECT_FLOAT_EQ(small.settings_scale, 1.0f);
    EXPECT_FLOAT_EQ(small.tabs_scale, 1.0f);
    EXPECT_EQ(small.history_length, 786);
    EXPECT_EQ(small.side_column_width, 320);  // 35 % would leave its lists' columns too narrow
    EXPECT_EQ(small.left_margin, 2);
    EXPECT_EQ(small.graph_column_width, 786 - 320 - 2);
    EXPECT_EQ(small.side_column_x, 786 - 320 + 2);
    EXPECT_EQ(panel_layout(1004, 611, 96).side_column_width, 333);  // 35 % of 1000 is above 333
    EXPECT_EQ(panel_layout(940, 611, 96).side_column_width, 327);   // 35 % of 936
    EXPECT_EQ(panel_layout(504, 300, 96).side_column_width, 250);   // never more than half the panel

    // A large page: both scales stop at 1.5, the side column at 333.
    const PanelLayout large = panel_layout(1914, 1030, 96);
    EXPECT_FLOAT_EQ(large.settings_scale, 1.5f);
    EXPECT_FLOAT_EQ(large.tabs_scale, 1.5f);
    EXPECT_EQ(large.side_column_width, 333);
    EXPECT_EQ(large.graph_column_width, 1910 - 333 - 2);
    EXPECT_EQ(large.side_column_x, 1910 - 333 + 2);
    // The graph column and the side column leave two units between them and end at the page's right.
    EXPECT_EQ(large.left_margin + large.graph_column_width + 2, large.side_column_x);

    // Wide and low: the Settings scale follows the height.
    const PanelLayout low = panel_layout(1604, 400, 96);
    EXPECT_FLOAT_EQ(low.settings_scale, 399.0f / 520.0f);
    EXPECT_FLOAT_EQ(low.tabs_scale, 1.5f);

    // The history holds one point per device pixel of the panel's width.
    EXPECT_EQ(panel_layout(790, 521, 144).history_length, 1179);
    EXPECT_EQ(panel_layout(790, 521, 144).side_column_width, 320);
}

TEST(PageFonts, SizesByTheSettingsScale) {
    const struct {
        float scale;
        int settings;
        int about;
    } cases[] = {{1.5f, 12, 16}, {1.6f, 12, 16}, {1.45f, 11, 15}, {1.4f, 11, 15}, {1.39f, 10, 14},
                 {1.3f, 10, 14}, {1.2f, 9, 13},  {1.19f, 8, 12},  {1.0f, 8, 12},  {0.7f, 8, 12}};
    for (const auto& c : cases) {
        EXPECT_EQ(settings_font_points(c.scale), c.settings) << c.scale;
        EXPECT_EQ(about_font_points(c.scale), c.about) << c.scale;
    }
}

TEST(TabWord, TheFirstCaptionOnTheCommandLineOpens) {
    std::vector<std::wstring> english;
    for (const wchar_t* word :
         {L"System", L"Processors", L"Graphics", L"Storage", L"Networks", L"Ping", L"Events", L"Settings", L"About"}) {
        english.push_back(tab_caption(static_cast<int>(english.size()), word));
    }
    EXPECT_EQ(english[0], L" System ");
    EXPECT_EQ(english[5], L"  Ping  ");
    const struct {
        const wchar_t* command_line;
        int tab;
    } cases[] = {{L"", -1},         {L"norepair ", -1},      {L"restart norepair ", -1}, {L"settings ", 7},
                 {L"ping ", 5},     {L"norepair about ", 8}, {L"events system ", 0},     {L"storage ", 3},
                 {L"networks ", 4}, {L"processors ", 1},     {L"graphics ", 2},          {L"System ", -1}};
    for (const auto& c : cases) EXPECT_EQ(tab_from_command_line(english, c.command_line), c.tab) << c.command_line;

    // German captions are matched in lower case, capitals with umlauts included.
    std::vector<std::wstring> german = english;
    german[8] = tab_caption(8, L"\u00DCber");
    EXPECT_EQ(tab_from_command_line(german, L"\u00FCber "), 8);
    EXPECT_EQ(tab_from_command_line({L"   ", L" System "}, L"system "), 1);  // an empty caption matches nothing
}

}  // namespace
