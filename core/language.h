// The user-interface language and the text lookup of the English/German text table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Values of SharedInts[LANGUAGE].
enum Language : int {
    LANGUAGE_UNKNOWN = 0,
    LANGUAGE_ENGLISH = 1,
    LANGUAGE_GERMAN = 2,
    LANGUAGE_FRENCH = 3,
    LANGUAGE_SPANISH = 4
};

// The primary language of the user's Windows language (low 10 bits of GetUserDefaultLangID()).
int user_primary_language();

// Maps a primary language id to a Language value (7 German, 9 English, 10 Spanish, 12 French, else unknown).
int language_from_primary(int primary_language);

// The fixed first splash line for a Language value, e.g. "1-Language: English".
std::wstring language_splash_line(int language);

// Fills the text maps once from the embedded text table for the language. Call at start-up before any
// worker thread starts; afterwards the maps are only read.
void text_maps_load(int language);

// The text shown for an English key; the empty text for a key that is not in the table (nothing is added).
const std::wstring& tr(std::wstring_view english);

// The fixed-width text of a key marked "<" or ">" in the table (the name without its marker, with its
// spaces); the empty text for an unknown name.
const std::wstring& tr_padded(std::wstring_view name);

// The number of entries in the loaded plain and fixed-width maps (0 before the first load).
std::size_t text_map_count();
std::size_t padded_text_map_count();
