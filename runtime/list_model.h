// The rows of the program's list controls, kept by control number so that any thread can change them.
// A list control of the windowing layer shows the rows of its number; the rows exist before and without it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/leaf_lock.h"

// A row of a list with columns holds its columns separated by "\n".

// Removes the rows at index max_rows and beyond (oldest last), then inserts the rows at the position,
// all in one step so that no other thread's change comes between. The first row given ends up on top.
// A position beyond the end appends. Returns the number of rows afterwards.
int list_rows_trim_insert(int control, int position, const std::vector<std::wstring>& rows, int max_rows);

// The same with the rows that `make` gives, made while the rows' lock is held: a count kept beside the list
// (a separator number) then stays in step with the rows. `make` takes no lock and calls nothing that does.
int list_rows_trim_insert_made(int control, int position, const std::function<std::vector<std::wstring>()>& make,
                               int max_rows);
// Inserts one row at the position without trimming.
void list_rows_insert(int control, int position, std::wstring row);

// Replaces the row at the position; false when there is none.
bool list_rows_set(int control, int position, std::wstring row);

// Removes the row at the position; false when there is none.
bool list_rows_remove(int control, int position);

void list_rows_clear(int control);

// Replaces all rows at once.
void list_rows_assign(int control, std::vector<std::wstring> rows);

int list_rows_count(int control);

// The row at the position; the empty text when there is none.
std::wstring list_row(int control, int position);

// A copy of all rows, top first.
std::vector<std::wstring> list_rows_copy(int control);
// The same, with `also` run under the same hold of the rows' lock (to read a count kept beside the list);
// `also` takes no lock.
std::vector<std::wstring> list_rows_copy_with(int control, const std::function<void()>& also);

// The windowing layer is told of every change (outside the model's lock, on the thread that made it) so that it
// can refresh the control of that number; it must not block. Returns the observer it replaces.
using ListChangedCallback = void (*)(int control);
ListChangedCallback list_rows_set_observer(ListChangedCallback callback);

// The rows' lock, held by every function above only while rows are copied in or out.
extern LeafLock ListRowsLock;
