// The program's optional libraries, loaded under fixed numbers and freed by number.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/leaf_lock.h"

// Loads a DLL from the system folder under a number; returns the number, or 0 when it does not load.
// A library already loaded under that number is freed first.
int64_t library_load(int number, std::wstring_view file_name);
// Loads a DLL from a full path under a number (its own folder is searched first for the DLLs it needs);
// returns the number, or 0 when it does not load. A library already loaded under that number is freed first.
int64_t library_load_file(int number, std::wstring_view full_path);
// A function of a loaded library; nullptr when the library or the function is missing.
void* library_function(int number, const char* name);
bool library_loaded(int number);
void library_free(int number);
// Told the number of each library library_free is about to free (tests record the order); nullptr: none.
using LibraryFreeObserver = void (*)(int number);
void library_free_observer_set(LibraryFreeObserver observer);
// Held only while the table of numbers is read or changed; FreeLibrary runs outside it.
extern LeafLock ProgramLibrariesLock;
