// For a fake library that exports stdcall functions on i386: FAKE_STDCALL marks such a function, and
// FAKE_PLAIN_SYMBOL(name), after its declaration, gives it the plain symbol that the .def file exports (a
// stdcall symbol would otherwise carry an "@bytes" suffix). Both are empty on x86-64, which has one convention.
#pragma once

#if defined(__i386__)
#define FAKE_STDCALL __attribute__((stdcall))
#define FAKE_SYMBOL_TEXT(text) #text
#define FAKE_SYMBOL_PREFIXED(prefix, name) FAKE_SYMBOL_TEXT(prefix) #name
#define FAKE_PLAIN_SYMBOL(name) asm(FAKE_SYMBOL_PREFIXED(__USER_LABEL_PREFIX__, name))
#else
#define FAKE_STDCALL
#define FAKE_PLAIN_SYMBOL(name)
#endif
