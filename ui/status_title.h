// A status text shown for some seconds in place of the main window's title.
#pragma once

#include <string_view>

// When the text is not empty and differs from the status title, shows it in the main window's title
// for `seconds`, a "~" in it replaced by the age of AGE_STAMP. Any thread. Returns 0.
int status_title_set(std::wstring_view text, int seconds);

// Renders the status title again from the text, with the current age in place of "~".
void status_title_refresh(std::wstring_view text);
