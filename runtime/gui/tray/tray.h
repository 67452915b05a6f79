// Numbered icons in the notification area. Clicks arrive as EVENT_TRAY with the icon's number in `control`,
// its window in `window` and the click in `type` (0 left button released, 1 right button released,
// 2 left double click, 3 right double click). The icons come back by themselves when Explorer restarts.
#pragma once

#include <string_view>

#include "runtime/leaf_lock.h"

// Adds an icon showing an image, for a window, with a tooltip. Replaces an icon of that number. Any thread.
bool tray_add(int number, int window, int image, std::wstring_view tooltip);
bool tray_exists(int number);
// Any thread, without waiting for the main thread.
void tray_image_set(int number, int image);
void tray_tooltip_set(int number, std::wstring_view tooltip);
void tray_remove(int number);
void tray_remove_all();
// The table's lock, held by the functions above only while the table is read or changed.
LeafLock& tray_table_lock();
