// The window-size preview: sizes from the steps and the command words, the size box's texts and when they
// change, and the picture's window box.
#include "ui/resize_preview.h"

#include <gtest/gtest.h>

namespace {

const DesktopFacts HD{1920, 1080, 96, 23};

TEST(ResizePreview, SizesAndTheirTexts) {
    const struct {
        const wchar_t* command_line;
        int width_step;
        int height_step;
        const wchar_t* size;
        const wchar_t* width_percent;
    } cases[] = {
        {L"", 15, 15, L"1920 x 1080", L"100%"},
        {L"", 0, 0, L"800 x 573", L"40%"},  // 768 x 409 raised to the least size
        {L"minsize ", 15, 3, L"800 x 573", L"100%"},
        {L"maxsize ", 0, 0, L"1920 x 1080", L"40%"},  // the percentages follow the steps all the same
        {L"", 40, -3, L"1920 x 573", L"100%"},        // steps outside 0..15 are held to it
    };
    for (const auto& c : cases) {
        const ResizePreviewSize size = resize_preview_size(c.command_line, HD, c.width_step, c.height_step);
        EXPECT_EQ(size.size_text, c.size) << c.command_line << c.width_step;
        EXPECT_EQ(size.width_percent, c.width_percent) << c.command_line << c.width_step;
    }
    EXPECT_EQ(resize_preview_size(L"", HD, 0, 15).height_percent, L"100%");
    EXPECT_EQ(resize_info_limits(HD, L"Max Size", L"Min Size"),
              L"Max Size\r\n1920 x 1080\r\n\r\nMin Size\r\n800 x 573\r\n\r\n");
    EXPECT_EQ(resize_info_limits({1920, 1080, 96, 23}, L"Max Size", L"Min Size"),
              resize_info_limits(HD, L"Max Size", L"Min Size"));
}

TEST(ResizePreview, InfoTextChangesOnlyWhenTheComparisonDoes) {
    const std::wstring limits = L"Max Size\r\nA\r\n\r\nMin Size\r\nB\r\n\r\n";
    const ResizeInfoWords words{L"Program Restart Required", L"Active"};
    int state = 0;
    std::wstring text;
    ASSERT_TRUE(resize_info_update(limits, L"", true, words, &state, &text));
    EXPECT_EQ(text, limits) << "no size word: the fixed lines alone";
    EXPECT_EQ(state, 1);
    EXPECT_FALSE(resize_info_update(limits, L"", true, words, &state, &text)) << "nothing changed";
    ASSERT_TRUE(resize_info_update(limits, L"", false, words, &state, &text));
    EXPECT_EQ(text, limits + L"Program Restart Required");
    EXPECT_EQ(state, 0);
    EXPECT_FALSE(resize_info_update(limits, L"", false, words, &state, &text));
    ASSERT_TRUE(resize_info_update(limits, L"maxwidth maxheight ", true, words, &state, &text));
    EXPECT_EQ(text, limits + L"MAXHEIGHT MAXWIDTH\r\nActive");
    state = 0;
    ASSERT_TRUE(resize_info_update(limits, L"restart minsize ", true, words, &state, &text));
    EXPECT_EQ(text, limits + L"MINSIZE\r\nActive");
}

TEST(ResizePreview, PictureWindowFollowsTheChosenSize) {
    // 100 %: the window spans the picture's whole width.
    PreviewPicture picture = preview_picture(1.0f, HD, MainWindowSize{1920, 1057});
    EXPECT_EQ(picture.width, 192);
    EXPECT_EQ(picture.height, 108);
    const PreviewBox window = picture.boxes[7];
    EXPECT_EQ(window, (PreviewBox{0, 1, 192, 106, 0xFFFFFF, 0}));  // ph = 105.7
    EXPECT_EQ(picture.boxes[6], (PreviewBox{-1, 0, 194, 108, 0x000000, 0})) << "the frame one pixel around";
    EXPECT_EQ(picture.boxes[1], (PreviewBox{0, 98, 192, 10, 0xB9B9B9, 0})) << "the task bar";

    // 800 x 550 at scale 1.5 on the same monitor: a centred window of 80 x 55 desktop units.
    picture = preview_picture(1.5f, HD, MainWindowSize{800, 550});
    EXPECT_EQ(picture.width, 288);
    EXPECT_EQ(picture.height, 162);
    EXPECT_EQ(picture.boxes[7], (PreviewBox{84, 40, 120, 83, 0xFFFFFF, 0}));
}

}  // namespace
