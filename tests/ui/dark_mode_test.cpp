// The app theme value's meaning.
#include "ui/dark_mode.h"

#include <gtest/gtest.h>

namespace {

TEST(DarkMode, TheThemeValueIsItsDistanceFromLight) {
    EXPECT_EQ(dark_theme_from_value(true, 0), 1);
    EXPECT_EQ(dark_theme_from_value(true, 1), 0);
    EXPECT_EQ(dark_theme_from_value(true, 2), 1);
    EXPECT_EQ(dark_theme_from_value(true, 0xFFFFFFFFu), 1);
    EXPECT_EQ(dark_theme_from_value(false, 0), 0);  // no value: light
}

}  // namespace
