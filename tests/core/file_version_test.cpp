// Tests of the version field names and translation keys.
#include "core/file_version.h"

#include <gtest/gtest.h>

namespace {

TEST(FileVersion, FieldNamesBySelector) {
    EXPECT_EQ(version_field_name(1), L"FileVersion");
    EXPECT_EQ(version_field_name(64), L"ProductVersion");
    EXPECT_EQ(version_field_name(2048), L"Comments");
    EXPECT_EQ(version_field_name(4096), L"Language");
    EXPECT_EQ(version_field_name(4099), L"Special");
    for (const int64_t other : std::initializer_list<int64_t>{0, 3, 4100, -1, int64_t(1) << 40})
        EXPECT_EQ(version_field_name(other), L"") << other;
}

TEST(FileVersion, TranslationKeyIsLanguageThenCodePageInHex) {
    EXPECT_EQ(version_translation_key(0x0409, 0x04B0), L"040904B0");
    EXPECT_EQ(version_translation_key(0xFFFF, 0), L"FFFF0000");
}

}  // namespace
