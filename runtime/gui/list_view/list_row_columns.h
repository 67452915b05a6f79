// The columns of a list row: the model keeps a row of a list with columns as one text, columns separated by "\n".
#pragma once

#include <string_view>

// Column n (from 0) of a row; the empty text when the row has fewer columns.
std::wstring_view list_row_column(std::wstring_view row, int column);
