// Exports in both i386 conventions for the test of the program's library call path (tests/gpu/
// adl_invoke_wintest.cpp): cdecl_N and stdcall_N take N 32-bit integers (N = 1..6 and 8, the counts the AMD
// display library's functions have) and return a value that depends on every argument and its place. On
// x86-64 both sets are the same, the one convention there.
#include <cstdint>

#include "tests/fakes/stdcall_export.h"

namespace {

// Mixes the arguments in order: a swapped, lost or shifted argument changes the result.
template <typename... Words>
int32_t mix(Words... words) {
    uint32_t value = 17;
    ((value = value * 31u + static_cast<uint32_t>(words)), ...);
    return static_cast<int32_t>(value);
}

}  // namespace

#define PROBES(count, params, ...)                                                             \
    extern "C" int32_t cdecl_##count params;                                                   \
    extern "C" int32_t cdecl_##count params { return mix(__VA_ARGS__); }                       \
    extern "C" int32_t FAKE_STDCALL stdcall_##count params FAKE_PLAIN_SYMBOL(stdcall_##count); \
    extern "C" int32_t FAKE_STDCALL stdcall_##count params { return mix(__VA_ARGS__); }

PROBES(1, (int32_t a), a)
PROBES(2, (int32_t a, int32_t b), a, b)
PROBES(3, (int32_t a, int32_t b, int32_t c), a, b, c)
PROBES(4, (int32_t a, int32_t b, int32_t c, int32_t d), a, b, c, d)
PROBES(5, (int32_t a, int32_t b, int32_t c, int32_t d, int32_t e), a, b, c, d, e)
PROBES(6, (int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f), a, b, c, d, e, f)
PROBES(8, (int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g, int32_t h), a, b, c, d, e, f, g,
       h)
