// The one way the program calls a function of the AMD display library: correct on i386 whichever of the two
// conventions the library was built with, a plain call on x86-64.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

// On i386 the library's own declarations name no convention (so cdecl, the caller removes the arguments), yet
// other builds of it are declared stdcall (the callee removes them), and which one a driver ships is not known.
// Both push the arguments right to left, return in EAX and keep EBX, ESI, EDI and EBP; so a call that keeps ESP
// in EBP across the call and restores it afterwards is right for both. adl_call_words is that call, written in
// assembly (adl_invoke.cpp) because the compiler must not address anything through ESP while the callee may
// have moved it. On x86-64 there is one convention, and adl_invoke is a plain call.
#if defined(__i386__)
// Calls `function` with `count` 32-bit words as its arguments, words[0] first; returns EAX.
extern "C" int32_t adl_call_words(const void* function, const uint32_t* words, uint32_t count);

// One argument as the 32-bit word the library receives: every parameter of the library is a 32-bit integer or
// a pointer, 4 bytes on i386.
template <typename Param>
uint32_t adl_word(Param value) {
    static_assert(sizeof(Param) == sizeof(uint32_t), "a library parameter wider than one i386 word");
    if constexpr (std::is_pointer_v<Param>) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
    } else {
        return static_cast<uint32_t>(value);
    }
}
#endif

// Calls a library function with `args`, each converted to its parameter's type first. Takes no lock.
template <typename Result, typename... Params, typename... Args>
Result adl_invoke(Result (*function)(Params...), Args... args) {
    static_assert(sizeof...(Params) == sizeof...(Args), "wrong number of arguments for the library function");
#if defined(__i386__)
    static_assert(std::is_integral_v<Result> && sizeof(Result) == sizeof(uint32_t), "the library returns int32");
    const std::array<uint32_t, sizeof...(Params)> words{adl_word<Params>(args)...};
    return static_cast<Result>(
        adl_call_words(reinterpret_cast<const void*>(function), words.data(), static_cast<uint32_t>(words.size())));
#else
    return function(args...);
#endif
}
