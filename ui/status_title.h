// A status text shown for some seconds in place of the main window's title.
#pragma once

#include <string>
#include <string_view>

#include "runtime/date.h"

// How long most status titles stay; short notices pass fewer seconds.
inline constexpr int STATUS_SECONDS = 20;

// When the text is not empty and differs from the status title, shows it in the main window's title
// for `seconds`, a "~" in it replaced by the age of AGE_STAMP. Any thread. Works before the
// main window exists: the state is kept, and a main window made later shows its own title meanwhile.
void status_title_set(std::wstring_view text, int seconds);
void status_title_set_at(std::wstring_view text, int seconds, Date now);

// Renders the status title again from the text, with the current age in place of "~".
void status_title_refresh(std::wstring_view text);

// Once a second (the system sampler, while not quitting): ends a status title whose time is up (the title
// returns to MAIN_TITLE, the status and AGE_STAMP are cleared), or renders one with an age marker anew.
void status_title_tick(Date now);

// The text with every "~" replaced by the age text.
std::wstring status_title_render(std::wstring_view text, std::wstring_view age);

// Where titles go: the main window's title on Windows (status_title_install), nowhere until then.
using StatusTitleWriter = void (*)(std::wstring_view title);
void status_title_set_writer(StatusTitleWriter writer);
// Installs the main window's title as the writer (Windows; start-up).
void status_title_install();
