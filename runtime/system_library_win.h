// Libraries of the system folder and their functions, found by name at run time.
#pragma once

#include <windows.h>

// Loads a DLL of the system folder only, never one of the same name next to the program or in the current
// folder; nullptr when the name is not a plain file name or the DLL does not load. Free it with FreeLibrary.
HMODULE system_library_load(const wchar_t* name);

// Binds `target` to the function `name` of a loaded module and returns whether it was found; `target` is
// nullptr when the module is nullptr or has no such function. Proc is the function's pointer type.
template <typename Proc>
bool library_function_bind(HMODULE module, const char* name, Proc& target) {
    // Through void*: a direct cast between unrelated function pointer types draws a warning.
    target = module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    return target != nullptr;
}
