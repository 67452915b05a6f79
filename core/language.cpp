// The text maps built from the data block's text table, the lookups, and the language choice.
#include "core/language.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "core/data_block.h"

namespace {

struct TextKeyHash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>{}(text); }
};

// Transparent, so a lookup by std::wstring_view needs no temporary string.
using TextMap = std::unordered_map<std::wstring, std::wstring, TextKeyHash, std::equal_to<>>;

struct TextMaps {
    TextMap plain;
    TextMap padded;
};

// Function-local, so a lookup from another file's static initialiser finds it constructed.
const std::wstring& empty_text() {
    static const std::wstring empty;
    return empty;
}

// The shown text of a fixed-width key: padded with spaces, or cut to the width, never widened.
std::wstring fixed_width_text(std::wstring text, std::size_t width, bool right_aligned) {
    if (text.size() >= width) {
        text.resize(width);
        return text;
    }
    const std::wstring spaces(width - text.size(), L' ');
    return right_aligned ? spaces + text : text + spaces;
}

void text_maps_build(int language, TextMaps& maps) {
    DataBlockCursor cursor = data_block_cursor(DATA_TEXT_TABLE);
    const std::size_t block_end = data_block().size();
    const std::int32_t columns = data_block_read_int32(cursor);
    if (columns < 1) return;
    // A table without its end record must not make the load run on forever: past the end every read is empty.
    while (cursor.position < block_end) {
        const std::wstring key = data_block_read_text(cursor);
        if (key == L"_END_") return;
        std::wstring translation;
        for (std::int32_t column = 2; column <= columns; ++column) {
            std::wstring text = data_block_read_text(cursor);
            if (column == language) translation = std::move(text);
        }
        // An empty key or name names no text: a lookup of it finds nothing, as for any unknown key.
        if (key.empty()) continue;
        if (key[0] == L'<' || key[0] == L'>') {
            std::wstring name = key.substr(1);
            if (name.empty()) continue;
            const std::size_t width = name.size();
            std::wstring shown = translation.empty() ? name : std::move(translation);
            maps.padded.insert_or_assign(std::move(name), fixed_width_text(std::move(shown), width, key[0] == L'>'));
        } else {
            std::wstring shown = translation.empty() ? key : std::move(translation);
            maps.plain.insert_or_assign(key, std::move(shown));
        }
    }
}

// One set of maps per table column in use. A set is built once and never changed or freed afterwards, so
// the references that tr() hands out stay valid, and a lookup needs no lock: it reads the published set.
constexpr int MAP_SETS = 2;  // English (the keys), German
std::atomic<const TextMaps*> loaded_maps{nullptr};

const TextMaps& map_set(int set, int language) {
    static TextMaps sets[MAP_SETS];
    static std::once_flag built[MAP_SETS];
    std::call_once(built[set], [set, language] { text_maps_build(language, sets[set]); });
    return sets[set];
}

const std::wstring& map_find(const TextMap& map, std::wstring_view key) {
    const auto found = map.find(key);
    return found == map.end() ? empty_text() : found->second;
}

}  // namespace

int language_from_primary(int primary_language) {
    switch (primary_language) {
        case 7: return LANGUAGE_GERMAN;
        case 9: return LANGUAGE_ENGLISH;
        case 10: return LANGUAGE_SPANISH;
        case 12: return LANGUAGE_FRENCH;
        default: return LANGUAGE_UNKNOWN;
    }
}

std::wstring language_splash_line(int language) {
    switch (language) {
        case LANGUAGE_ENGLISH: return L"1-Language: English";
        case LANGUAGE_GERMAN: return L"1-Sprache: deutsche";
        case LANGUAGE_FRENCH: return L"1-La langue: fran\u00E7ais";
        case LANGUAGE_SPANISH: return L"1-Idioma: Espa\u00F1ol";
        default: return L"1-Unknown Language";
    }
}

void text_maps_load(int language) {
    // Only the German column is ever shown; every other language shows the English keys.
    const int set = language == LANGUAGE_GERMAN ? 1 : 0;
    loaded_maps.store(&map_set(set, language), std::memory_order_release);
}

const std::wstring& tr(std::wstring_view english) {
    const TextMaps* maps = loaded_maps.load(std::memory_order_acquire);
    return maps ? map_find(maps->plain, english) : empty_text();
}

const std::wstring& tr_padded(std::wstring_view name) {
    const TextMaps* maps = loaded_maps.load(std::memory_order_acquire);
    return maps ? map_find(maps->padded, name) : empty_text();
}

std::size_t text_map_count() {
    const TextMaps* maps = loaded_maps.load(std::memory_order_acquire);
    return maps ? maps->plain.size() : 0;
}

std::size_t padded_text_map_count() {
    const TextMaps* maps = loaded_maps.load(std::memory_order_acquire);
    return maps ? maps->padded.size() : 0;
}
