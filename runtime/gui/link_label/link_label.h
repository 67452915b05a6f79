// Link labels: a text in a link colour with the hand pointer; they report EVENT_TYPE_LEFT_CLICK.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/gui/gui.h"

// The colour is 0x00BBGGRR (blue when -1).
int link_label_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view text,
                      int32_t color = -1);
