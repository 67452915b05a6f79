// The user's language on the native build, from the locale environment, as a Windows primary language id.
#include <cstdlib>
#include <string_view>

#include "core/language.h"

namespace {

constexpr int PRIMARY_GERMAN = 7;
constexpr int PRIMARY_ENGLISH = 9;
constexpr int PRIMARY_SPANISH = 10;
constexpr int PRIMARY_FRENCH = 12;

}  // namespace

int user_primary_language() {
    // The first set variable decides, in the precedence the C library gives them.
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@-"));
    if (language == "de") return PRIMARY_GERMAN;
    if (language == "fr") return PRIMARY_FRENCH;
    if (language == "es") return PRIMARY_SPANISH;
    return PRIMARY_ENGLISH;
}
