// Tests of the native build's user language, taken from the locale environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "core/language.h"

namespace {

// Sets the three locale variables for one case and puts the old values back afterwards.
struct LocaleEnvironment {
    static constexpr const char* NAMES[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved[3];

    LocaleEnvironment() {
        for (int i = 0; i < 3; ++i)
            if (const char* value = std::getenv(NAMES[i])) saved[i] = value;
    }
    ~LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) set(i, saved[i] ? saved[i]->c_str() : nullptr);
    }
    static void set(int i, const char* value) {
        if (value)
            setenv(NAMES[i], value, 1);
        else
            unsetenv(NAMES[i]);
    }
};

}  // namespace

TEST(LanguagePosix, LocaleEnvironmentGivesThePrimaryLanguage) {
    struct Case {
        const char* lc_all;
        const char* lc_messages;
        const char* lang;
        int primary;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", nullptr, nullptr, 7},
        {"fr_FR", nullptr, nullptr, 12},
        {"es", nullptr, nullptr, 10},
        {"en_US.UTF-8", nullptr, nullptr, 9},
        {"C", nullptr, nullptr, 9},
        {nullptr, nullptr, nullptr, 9},
        {"", "de_AT", "fr_FR", 7},  // an empty variable does not count
        {nullptr, nullptr, "es_ES.UTF-8@euro", 10},
        {"fr_CA", "de_DE", "es_ES", 12},  // LC_ALL comes first
        {nullptr, "dexx", nullptr, 9},    // only the language part counts
        {nullptr, nullptr, "de@euro", 7},
    };
    LocaleEnvironment restore;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.lc_all ? c.lc_all : "-") << " " << (c.lc_messages ? c.lc_messages : "-")
                                        << " " << (c.lang ? c.lang : "-"));
        LocaleEnvironment::set(0, c.lc_all);
        LocaleEnvironment::set(1, c.lc_messages);
        LocaleEnvironment::set(2, c.lang);
        EXPECT_EQ(user_primary_language(), c.primary);
    }
}
