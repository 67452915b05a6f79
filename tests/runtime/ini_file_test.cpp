// Tests of the INI model: parsing, writing, case-insensitive access, malformed input, load and save.
#include "runtime/ini_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::string CANONICAL =
    "[Sotrix]\r\n"
    "Config=0123456789ABCDEF0123456789\r\n"
    "Digits=10,20,30,40\r\n"
    "Logpath=C:\\Users\\J\xC3\xBCrgen\\Logs\\\r\n"
    "EventLog=System\r\n"
    "\r\n"
    "[Empty]\r\n"
    "\r\n"
    "[Other Group]\r\n"
    "Key With Spaces=a = b ; not a comment\r\n"
    "Emoji=\xF0\x9F\x98\x80\r\n"
    "Blank=\r\n";

IniFile parsed(std::string_view bytes) {
    IniFile ini;
    std::wstring error;
    EXPECT_TRUE(ini_parse(bytes, ini, error)) << testing::PrintToString(error);
    return ini;
}

}  // namespace

TEST(IniFile, WellFormedFileRoundTripsByteForByte) {
    const IniFile ini = parsed(CANONICAL);
    ASSERT_EQ(ini.Groups.size(), 3u);
    EXPECT_EQ(ini.Groups[0].Keys.size(), 4u);
    EXPECT_TRUE(ini.Groups[1].Keys.empty());
    EXPECT_EQ(ini_get(ini, L"Sotrix", L"Logpath"), L"C:\\Users\\J\u00fcrgen\\Logs\\");
    EXPECT_EQ(ini_get(ini, L"Other Group", L"Key With Spaces"), L"a = b ; not a comment");
    EXPECT_EQ(ini_get(ini, L"Other Group", L"Emoji"), L"\U0001F600");
    EXPECT_EQ(ini_serialise(ini), CANONICAL);
}

TEST(IniFile, ToleratedFormsReadTheSame) {
    const std::string loose =
        "\xEF\xBB\xBF"
        "; written by hand\n"
        "\n"
        "  [ Sotrix ]  \r\n"
        "# another comment\n"
        "\tConfig =  0123456789ABCDEF0123456789 \t\n"
        "Digits=10,20,30,40\n"
        "Logpath = C:\\Users\\J\xC3\xBCrgen\\Logs\\\n"
        "EventLog=System\n"
        "config=ignored, the first of repeated keys counts\n"
        "[Empty]\n"
        "[Other Group]\n"
        "Key With Spaces = a = b ; not a comment\n"
        "Emoji=\xF0\x9F\x98\x80\n"
        "Blank=";
    EXPECT_EQ(ini_serialise(parsed(loose)), CANONICAL);

    // A repeated group continues the first one.
    const IniFile merged = parsed("[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n");
    ASSERT_EQ(merged.Groups.size(), 2u);
    EXPECT_EQ(ini_get(merged, L"A", L"z"), L"3");
    EXPECT_TRUE(parsed("").Groups.empty());
    EXPECT_TRUE(parsed("\xEF\xBB\xBF").Groups.empty());
}

TEST(IniFile, NamesCompareWithoutAsciiCase) {
    IniFile ini = parsed(CANONICAL);
    EXPECT_EQ(ini_get(ini, L"SOTRIX", L"eventlog"), L"System");
    EXPECT_EQ(ini_get(ini, L"other group", L"KEY WITH SPACES"), L"a = b ; not a comment");
    EXPECT_EQ(ini_find(ini, L"Sotrix", L"Missing"), nullptr);
    EXPECT_EQ(ini_find(ini, L"Missing", L"Config"), nullptr);
    EXPECT_EQ(ini_get(ini, L"Missing", L"Config", L"fallback"), L"fallback");

    ASSERT_TRUE(ini_set(ini, L"sotrix", L"EVENTLOG", L"Application"));
    EXPECT_EQ(ini.Groups.size(), 3u);
    EXPECT_EQ(ini.Groups[0].Keys[3].Name, L"EventLog");  // the name keeps its first spelling
    EXPECT_EQ(ini.Groups[0].Keys[3].Value, L"Application");
}

TEST(IniFile, SetAndRemoveKeepFileOrder) {
    IniFile ini;
    ASSERT_TRUE(ini_set(ini, L"Sotrix", L"Config", L"abc"));
    ASSERT_TRUE(ini_set(ini, L"Sotrix", L"Digits", L"1,2"));
    ASSERT_TRUE(ini_set(ini, L"Second", L"Key", L"\u00e4\u20ac"));
    ASSERT_TRUE(ini_set(ini, L"Sotrix", L"ColorCPU", L""));
    EXPECT_EQ(ini_serialise(ini),
              "[Sotrix]\r\nConfig=abc\r\nDigits=1,2\r\nColorCPU=\r\n\r\n[Second]\r\nKey=\xC3\xA4\xE2\x82\xAC\r\n");
    EXPECT_TRUE(ini_remove(ini, L"SOTRIX", L"digits"));
    EXPECT_FALSE(ini_remove(ini, L"Sotrix", L"Digits"));
    EXPECT_FALSE(ini_remove(ini, L"Missing", L"Config"));
    EXPECT_EQ(ini_serialise(ini),
              "[Sotrix]\r\nConfig=abc\r\nColorCPU=\r\n\r\n[Second]\r\nKey=\xC3\xA4\xE2\x82\xAC\r\n");
}

TEST(IniFile, SetRefusesWhatWouldNotReadBack) {
    struct Case {
        std::wstring group, key, value;
    };
    const Case cases[] = {
        {L"", L"Key", L"v"},
        {L" G", L"Key", L"v"},
        {L"G]", L"Key", L"v"},
        {L"G\n[H", L"Key", L"v"},
        {L"G", L"", L"v"},
        {L"G", L"Key ", L"v"},
        {L"G", L"K=ey", L"v"},
        {L"G", L"[Key", L"v"},
        {L"G", L";Key", L"v"},
        {L"G", L"#Key", L"v"},
        {L"G", L"Key", L" v"},
        {L"G", L"Key", L"v\t"},
        {L"G", L"Key", L"line\r\nKey2=x"},
        {L"G", L"Key", std::wstring(L"a\0b", 3)},
        {L"G", L"Key", std::wstring(INI_MAX_LINE_BYTES, L'x')},
        {L"G", L"Key", std::wstring(1, static_cast<wchar_t>(0xD800))},
    };
    for (const Case& c : cases) {
        IniFile ini = parsed("[G]\nKey=old\n");
        EXPECT_FALSE(ini_set(ini, c.group, c.key, c.value)) << testing::PrintToString(c.group + L"|" + c.key);
        EXPECT_EQ(ini_serialise(ini), "[G]\r\nKey=old\r\n");
    }
}

TEST(IniFile, MalformedInputGivesAClearError) {
    struct Case {
        std::string name;
        std::string bytes;
        std::wstring error_start;  // the error names the line
    };
    const Case cases[] = {
        {"binary garbage",
         std::string("\x7F"
                     "ELF\x02\x01\x01\x00\x00\x00",
                     10),
         L"line 1:"},
        {"NUL byte", std::string("[G]\nKey=va\0lue\n", 15), L"line 2: holds a NUL byte"},
        {"invalid UTF-8", "[G]\nKey=ok\nName=J\xFCrgen\n", L"line 3: not valid UTF-8"},
        {"truncated UTF-8", "[G]\nKey=\xE2\x82", L"line 2: not valid UTF-8"},
        {"huge line", "[G]\nKey=" + std::string(INI_MAX_LINE_BYTES, 'x') + "\n", L"line 2: longer than"},
        {"key before group", "; comment\nKey=value\n[G]\n", L"line 2: a key line before any group"},
        {"text line", "[G]\nKey=value\njust some words\n", L"line 3: neither a group"},
        {"unclosed group", "[G]\n[Other\n", L"line 2: a group line without"},
        {"empty group", "[ ]\n", L"line 1: a group line with an empty name"},
        {"bracket in group", "[a]b]\n", L"line 1: a group name holding"},
        {"empty key", "[G]\n = value\n", L"line 2: a key line without a key"},
        {"stray CR", "[G]\rKey=value\r\n", L"line 1: holds a carriage return"},
        {"after BOM", "\xEF\xBB\xBFKey=1\r\n", L"line 1: a key line before any group"},
    };
    for (const Case& c : cases) {
        IniFile ini = parsed("[Kept]\nKey=1\n");
        std::wstring error;
        EXPECT_FALSE(ini_parse(c.bytes, ini, error)) << c.name;
        EXPECT_TRUE(error.starts_with(c.error_start)) << c.name << ": " << testing::PrintToString(error);
        EXPECT_EQ(ini_get(ini, L"Kept", L"Key"), L"1") << c.name;  // a failed parse changes nothing
    }
    IniFile ini;
    std::wstring error;
    EXPECT_FALSE(ini_parse(std::string(INI_MAX_BYTES + 1, '\n'), ini, error));
    EXPECT_EQ(error, L"the file is larger than " + std::to_wstring(INI_MAX_BYTES) + L" bytes");
}

TEST(IniFile, RandomBytesNeverCrash) {
    std::mt19937 random(77);
    const char pieces[] = {'[', ']', '=', '\n', '\r', ';', '#', ' ', 'a', '\0', '\xC3', '\xA4', '\xFF', '\xF0'};
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string bytes(random() % 40, ' ');
        for (char& c : bytes) c = pieces[random() % sizeof pieces];
        IniFile ini;
        std::wstring error;
        if (ini_parse(bytes, ini, error)) {
            ++accepted;
            // What was accepted writes out to a file that reads back the same.
            const std::string written = ini_serialise(ini);
            EXPECT_EQ(ini_serialise(parsed(written)), written);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(IniFile, SaveAndLoad) {
    TempFolder folder;
    const auto path = folder.file(L"Sotrix.ini");
    IniFile ini;
    std::wstring error;
    FileError why = FILE_OK;
    EXPECT_FALSE(ini_load(path, ini, error, &why));
    EXPECT_EQ(why, FILE_MISSING);

    ASSERT_TRUE(ini_save(path, parsed(CANONICAL), true));
    ASSERT_TRUE(ini_load(path, ini, error, &why));
    EXPECT_EQ(why, FILE_OK);
    EXPECT_EQ(ini_serialise(ini), CANONICAL);

    ASSERT_TRUE(ini_set(ini, L"Sotrix", L"Config", L"changed"));
    ASSERT_TRUE(ini_save(path, ini, true));
    IniFile backup;
    ASSERT_TRUE(ini_load(file_backup_path(path), backup, error));
    EXPECT_EQ(ini_get(backup, L"Sotrix", L"Config"), L"0123456789ABCDEF0123456789");

    // A model filled by hand with a name that would not read back is not written.
    IniFile bad = ini;
    bad.Groups[0].Keys[0].Name = L"Con=fig";
    EXPECT_FALSE(ini_save(path, bad, false));
    IniFile again;
    ASSERT_TRUE(ini_load(path, again, error));
    EXPECT_EQ(ini_get(again, L"Sotrix", L"Config"), L"changed");

    // A damaged file is reported as existing but unusable, so that the caller can set it aside.
    ASSERT_TRUE(file_write_atomic(path, "[Sotrix]\nConfig\n", false));
    EXPECT_FALSE(ini_load(path, again, error, &why));
    EXPECT_EQ(why, FILE_UNREADABLE);
    EXPECT_EQ(error, L"line 2: neither a group, a key line, a comment nor blank");
    EXPECT_EQ(ini_get(again, L"Sotrix", L"Config"), L"changed");
}
