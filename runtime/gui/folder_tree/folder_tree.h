// Folder trees: the drives and their folders, filled as the user opens them. A tree reports
// EVENT_TYPE_CHANGE when the user selects a folder; its control text is the selected folder.
#pragma once

#include <string>
#include <string_view>

#include "runtime/gui/gui.h"

// A tree of the drives, with `folder` opened and selected (when it exists). Returns its number, 0 on failure.
int folder_tree_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                       std::wstring_view folder);
// The selected folder with a trailing "\"; empty when none is selected or there is no such tree.
std::wstring folder_tree_path(int number);
// Opens the tree down to the folder and selects it, without reporting a change. A trailing file pattern
// ("C:\Logs\*.*") is ignored. False when the folder is not in the tree.
bool folder_tree_go(int number, std::wstring_view folder);
