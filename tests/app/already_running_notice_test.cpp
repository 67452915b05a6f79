// The already-running notice's text.
#include "app/already_running_notice.h"

#include <gtest/gtest.h>

namespace {

TEST(AlreadyRunningNotice, TheNoticeIsGermanOnlyForGerman) {
    EXPECT_EQ(already_running_text(7), L"Programm l\u00e4uft bereits.\r\nAktuelles Programm \u00f6ffnen.");
    EXPECT_EQ(already_running_text(9), L"Program is already running.\r\nOpening current program.");
    EXPECT_EQ(already_running_text(12), already_running_text(9));  // French shows English
}

}  // namespace
