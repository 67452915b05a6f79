// The fake AMD display library with every export stdcall on i386 (the callee removes its arguments), as some
// builds of the library are declared; the same library as atiadlxx.dll otherwise, and the same on x86-64.
#define FAKE_ADL_STDCALL 1
#include "tests/fakes/atiadlxx_dll/fake_adl.cpp"
