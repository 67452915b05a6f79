// Tests of the JSON stores: round trips, malformed files, nesting attacks and the typed record getters.
#include "runtime/json_store.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <vector>

namespace {

void write_plain(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

nlohmann::json sample_store() {
    nlohmann::json hosts = nlohmann::json::array();
    hosts.push_back({{"Name", "router.local"},
                     {"Description",
                      "Gr\xC3\xB6\xC3\x9F"
                      "e \xE2\x82\xAC \xF0\x9F\x98\x80"},
                     {"Interval", 5},
                     {"LastDown", int64_t{-62167219200}},
                     {"Samples", {{{"Date", int64_t{4107456000}}, {"Time", 12}}, {{"Date", 0}, {"Time", -1}}}}});
    hosts.push_back({{"Name", "10.0.0.1"}, {"Samples", nlohmann::json::array()}});
    return {{"Version", 1}, {"Hosts", hosts}};
}

}  // namespace

TEST(JsonStore, RoundTripWithBackup) {
    TempFolder folder;
    const auto path = folder.file(L"SX-Ping.json");
    const nlohmann::json store = sample_store();
    ASSERT_TRUE(json_save(path, store, true));
    nlohmann::json loaded;
    std::wstring error;
    FileError why = FILE_MISSING;
    ASSERT_TRUE(json_load(path, loaded, error, &why));
    EXPECT_EQ(why, FILE_OK);
    EXPECT_EQ(loaded, store);

    nlohmann::json changed = store;
    changed["Version"] = 2;
    ASSERT_TRUE(json_save(path, changed, true));
    nlohmann::json backup;
    ASSERT_TRUE(json_load(file_backup_path(path), backup, error));
    EXPECT_EQ(backup, store);
    ASSERT_TRUE(json_load(path, loaded, error));
    EXPECT_EQ(json_get_int32(loaded, "Version"), 2);
}

TEST(JsonStore, MalformedFilesGiveAnErrorAndLeaveTheValue) {
    struct Case {
        std::string name;
        std::string bytes;
        std::wstring error;
    };
    const Case cases[] = {
        {"empty file", "", L"the file is empty"},
        {"truncated", R"({"Hosts": [{"Name": "a", "Samples": [1, 2)", L"not valid JSON"},
        {"not JSON", "Sotrix settings\n", L"not valid JSON"},
        {"trailing comma", "[1, 2,]", L"not valid JSON"},
        {"two values", "{} {}", L"not valid JSON"},
        {"NUL inside", std::string("{\"a\":\0 1}", 9), L"not valid JSON"},
        {"invalid UTF-8 in a text", "{\"Name\": \"J\xFCrgen\"}", L"not valid JSON"},
        {"deep arrays", std::string(100000, '['), L"nested deeper than 64 levels"},
        {"deep objects",
         [] {
             std::string text;
             for (int i = 0; i < 100000; ++i) text += "{\"a\":";
             return text;
         }(),
         L"nested deeper than 64 levels"},
        {"deep but balanced", std::string(5000, '[') + std::string(5000, ']'), L"nested deeper than 64 levels"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const auto path = folder.file(L"store.json");
        write_plain(path, c.bytes);
        nlohmann::json value = {{"kept", true}};
        std::wstring error;
        FileError why = FILE_OK;
        EXPECT_FALSE(json_load(path, value, error, &why)) << c.name;
        EXPECT_EQ(why, FILE_UNREADABLE) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_EQ(value, nlohmann::json({{"kept", true}})) << c.name;
    }
}

TEST(JsonStore, DepthLimitCountsOnlyStructure) {
    nlohmann::json value;
    std::wstring error;
    const std::string at_limit = std::string(JSON_STORE_MAX_DEPTH, '[') + std::string(JSON_STORE_MAX_DEPTH, ']');
    EXPECT_TRUE(json_parse_text(at_limit, value, error));
    const std::string past_limit = "[" + at_limit + "]";
    EXPECT_FALSE(json_parse_text(past_limit, value, error));
    // Brackets inside texts, also after escaped quotes, are not nesting.
    const std::string in_text = "{\"a\\\"[\": \"" + std::string(100000, '[') + "\"}";
    ASSERT_TRUE(json_parse_text(in_text, value, error));
    EXPECT_EQ(value["a\"["].get<std::string>().size(), 100000u);
}

TEST(JsonStore, FileProblems) {
    TempFolder folder;
    nlohmann::json value = 7;
    std::wstring error;
    FileError why = FILE_OK;
    EXPECT_FALSE(json_load(folder.file(L"SX-Saga.json"), value, error, &why));
    EXPECT_EQ(why, FILE_MISSING);
    EXPECT_EQ(error, L"the file does not exist");

    write_plain(folder.file(L"big.json"), "[" + std::string(2000, ' ') + "]");
    EXPECT_FALSE(json_load(folder.file(L"big.json"), value, error, &why, 1000));
    EXPECT_EQ(why, FILE_TOO_LARGE);
    EXPECT_EQ(error, L"the file is larger than 1000 bytes");
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(json_load(folder.file(L"big.json"), value, error, &why, 2002));

    EXPECT_FALSE(json_save(folder.file(L"missing") / L"SX-Ping.json", value, true));
}

TEST(JsonStore, InvalidUtf8IsSavedAsReplacementCharacters) {
    TempFolder folder;
    const auto path = folder.file(L"store.json");
    const nlohmann::json value = {{"Name", std::string("J\xFCrgen")}};
    ASSERT_TRUE(json_save(path, value, false));
    nlohmann::json loaded;
    std::wstring error;
    ASSERT_TRUE(json_load(path, loaded, error));
    EXPECT_EQ(json_get_text(loaded, "Name"), L"J\uFFFDrgen");
}

TEST(JsonStore, TypedGettersFallBackOnWrongTypes) {
    const nlohmann::json record = nlohmann::json::parse(R"({
        "Small": 42, "Negative": -7, "Large": 1099511627776, "Huge": 18446744073709551615,
        "Whole": 2.0, "Half": 2.5, "Int64Max": 9223372036854775807,
        "Float64": 9.3e18, "Text": "Gr\u00f6\u00dfe \ud83d\ude00", "True": true, "Null": null,
        "List": [1], "Object": {"a": 1}, "NumberText": "12"
    })",
                                                        nullptr, false);
    ASSERT_FALSE(record.is_discarded());

    struct IntCase {
        const char* key;
        int64_t as_int64;
        int32_t as_int32;
    };
    const IntCase ints[] = {
        {"Small", 42, 42},
        {"Negative", -7, -7},
        {"Large", 1099511627776, -1},
        {"Huge", -1, -1},
        {"Whole", 2, 2},
        {"Half", -1, -1},
        {"Int64Max", INT64_MAX, -1},
        {"Float64", -1, -1},
        {"Text", -1, -1},
        {"True", -1, -1},
        {"Null", -1, -1},
        {"List", -1, -1},
        {"Object", -1, -1},
        {"NumberText", -1, -1},
        {"Missing", -1, -1},
    };
    for (const IntCase& c : ints) {
        EXPECT_EQ(json_get_int64(record, c.key, -1), c.as_int64) << c.key;
        EXPECT_EQ(json_get_int32(record, c.key, -1), c.as_int32) << c.key;
    }
    EXPECT_EQ(json_get_text(record, "Text"), L"Gr\u00f6\u00dfe \U0001F600");
    EXPECT_EQ(json_get_text(record, "Small", L"none"), L"none");
    EXPECT_EQ(json_get_text(record, "Null", L"none"), L"none");
    EXPECT_DOUBLE_EQ(json_get_double(record, "Half"), 2.5);
    EXPECT_DOUBLE_EQ(json_get_double(record, "Small"), 42.0);
    EXPECT_DOUBLE_EQ(json_get_double(record, "Text", -1.5), -1.5);
    EXPECT_TRUE(json_get_bool(record, "True"));
    EXPECT_TRUE(json_get_bool(record, "Small", true));

    // A record that is not an object gives every fallback.
    for (const nlohmann::json& not_record : {nlohmann::json::array({42}), nlohmann::json(42), nlohmann::json()}) {
        EXPECT_EQ(json_get_int64(not_record, "Small", -1), -1);
        EXPECT_EQ(json_get_text(not_record, "Text", L"none"), L"none");
    }
}

namespace {

// A reader that takes every value and rebuilds the document, to compare the streaming parser with the library's.
class DocumentReader : public JsonStoreReader {
public:
    nlohmann::json Root;

    bool null() override { return put(nullptr); }
    bool boolean(bool value) override { return put(value); }
    bool number_integer(number_integer_t value) override { return put(value); }
    bool number_unsigned(number_unsigned_t value) override { return put(value); }
    bool number_float(number_float_t value, const string_t&) override { return put(value); }
    bool string(string_t& value) override { return put(value); }
    bool start_object(std::size_t) override { return open(nlohmann::json::object()); }
    bool start_array(std::size_t) override { return open(nlohmann::json::array()); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool key(string_t& key) override {
        Key = key;
        return true;
    }

private:
    nlohmann::json* place(nlohmann::json value) {
        if (Open.empty()) {
            Root = std::move(value);
            return &Root;
        }
        nlohmann::json& parent = *Open.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        parent[Key] = std::move(value);
        return &parent[Key];
    }
    bool put(nlohmann::json value) {
        place(std::move(value));
        return true;
    }
    bool open(nlohmann::json value) {
        Open.push_back(place(std::move(value)));
        return true;
    }
    bool close() {
        Open.pop_back();
        return true;
    }
    std::vector<nlohmann::json*> Open;
    std::string Key;
};

// The streaming parser accepts exactly the texts the library accepts and reads the same values from them, also
// when the text comes in chunks of every size.
TEST(JsonStoreRead, AcceptsAndReadsWhatTheLibraryDoes) {
    const std::string texts[] = {
        "[]",
        "{}",
        " [1, -0, 0.5, -1e3, 1E+2, 2e-2, 18446744073709551615, 18446744073709551616, -9223372036854775808]",
        "[-9223372036854775809, 123456789012345678901234567890, 1.7976931348623157e308, 5e-324]",
        "{\"a\":{\"b\":[true,false,null]},\"a\":2}",
        "\xEF\xBB\xBF[1]",
        "\"\\u00e4\\ud83d\\ude00\\n\\\"\\\\\\/\\b\\f\\r\\t\"",
        "\"\xC3\xA4\xE4\xB8\xAD\xF0\x9F\x98\x80\"",
        "[01]",
        "[1.]",
        "[.5]",
        "[-]",
        "[1e]",
        "[+1]",
        "[1,]",
        "[,1]",
        "{\"a\"}",
        "{\"a\":}",
        "{1:2}",
        "{\"a\":1,}",
        "[1 2]",
        "[1]]",
        "[1] x",
        "[tru]",
        "[nul]",
        "[True]",
        "\"\\ud800\"",
        "\"\\udc00\"",
        "\"\\ud800\\u0041\"",
        "\"\\x\"",
        "\"a\tb\"",
        "\"\xFF\"",
        "\"\xC0\xAF\"",
        "\"\xED\xA0\x80\"",
        "\"abc",
        "[\"a\",{\"b\":1",
        "\xEF\xBB",
        "1",
        "  \n\t\r null ",
        "[1e400]",
        "[-1e400]",
        "[1e-400]",
        "[-0.00000e-999999999999999999999]",
        "[12e999999999999999999999]",
        "[0."
        "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000001]",
        "[9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
        "99999999999999999999999999999999999999999999999999999999999999999999999]",
        "[0e0, -0.0, 1.5E-5]",
        "{\"\":\"\"}",
        std::string(64, '[') + std::string(64, ']'),
        "[\"\\u0000\"]"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const nlohmann::json expected = nlohmann::json::parse(text, nullptr, false);
        for (const size_t chunk : {size_t(1), size_t(3), size_t(4096)}) {
            size_t offset = 0;
            const std::function<int64_t(char*, size_t)> read = [&](char* data, size_t) {
                const size_t count = std::min(chunk, text.size() - offset);
                std::copy_n(text.data() + offset, count, data);
                offset += count;
                return static_cast<int64_t>(count);
            };
            std::vector<char> buffer(chunk);
            DocumentReader reader;
            std::wstring why;
            const JsonReadOutcome outcome = json_store_read(read, reader, buffer, 0, why);
            ASSERT_EQ(outcome == JSON_READ_OK, !expected.is_discarded()) << "chunk " << chunk;
            if (outcome == JSON_READ_OK) {
                EXPECT_EQ(reader.Root.dump(), expected.dump()) << "chunk " << chunk;
            }
        }
    }
}

// A text past a limit is refused before the parser holds more of it: the size, the nesting, one string or number.
TEST(JsonStoreRead, RefusesTextsPastItsLimitsWithTheReason) {
    struct Case {
        std::string text;
        size_t max_bytes;
        const wchar_t* why;
    };
    const std::string long_text(JSON_STORE_MAX_TOKEN_BYTES + 1, 'a');
    for (const Case& c : {Case{"[\"" + long_text + "\"]", 0, L"longer than"},
                          Case{"[" + std::string(JSON_STORE_MAX_TOKEN_BYTES + 1, '1') + "]", 0, L"longer than"},
                          Case{std::string(JSON_STORE_MAX_DEPTH + 1, '['), 0, L"nested deeper"},
                          Case{"[1, 2, 3]", 4, L"larger than"}, Case{"", 0, L"empty"}}) {
        DocumentReader reader;
        std::wstring why;
        const JsonReadOutcome outcome = json_store_read_bytes(c.text, reader, c.max_bytes, why);
        EXPECT_NE(outcome, JSON_READ_OK) << c.text.substr(0, 20);
        EXPECT_NE(why.find(c.why), std::wstring::npos) << c.text.substr(0, 20);
    }
}

}  // namespace
