// The user's Windows language.
#include <windows.h>

#include "core/language.h"

int user_primary_language() { return GetUserDefaultLangID() & 0x3FF; }
