// The program's call into the AMD display library (adl_invoke) against exports built cdecl and stdcall with
// every argument count the library's functions have (tests/fakes/adl_conventions_dll): each call returns the
// export's value for exactly those arguments in that order, and afterwards the stack pointer and every register
// the caller may rely on hold what they held before. On i386 that is the point: a stdcall export removes its
// arguments and a cdecl one leaves them. On x86-64 both are the one convention, and the same checks hold.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "gpu/adl_invoke.h"

// What registers_around saw: the stack pointer just before and just after the call, the result register, and
// the callee-saved registers after the call, each set to a known value before it.
#if defined(__i386__)
constexpr int KEPT_REGISTERS = 4;  // EBX, ESI, EDI, EBP
#else
constexpr int KEPT_REGISTERS = 8;  // RBX, RBP, RDI, RSI, R12..R15
#endif
struct RegisterCheck {
    uintptr_t sp_before;
    uintptr_t sp_after;
    uintptr_t result;
    std::array<uintptr_t, KEPT_REGISTERS> kept;
};

extern "C" {
RegisterCheck adl_register_check;
uintptr_t adl_register_saved_sp;  // the harness's own stack pointer, restored from here whatever the callee did
// Calls target(a0, a1, a2) in the C convention with the callee-saved registers set to the values below, and
// fills adl_register_check.
void registers_around(const void* target, uintptr_t a0, uintptr_t a1, uintptr_t a2);
}

#define CHECK_TEXT(text) #text
#define CHECK_PREFIXED(prefix, name) CHECK_TEXT(prefix) #name
#define CHECK_AT(name) CHECK_PREFIXED(__USER_LABEL_PREFIX__, name)

#if defined(__i386__)
constexpr std::array<uintptr_t, KEPT_REGISTERS> SET_VALUES{0x0B0B0B0Bu, 0x05151515u, 0x0D1D1D1Du, 0x0E8E8E8Eu};

extern "C" __attribute__((naked)) void registers_around(const void*, uintptr_t, uintptr_t, uintptr_t) {
    asm("pushl %ebp\n\t"
        "pushl %ebx\n\t"
        "pushl %esi\n\t"
        "pushl %edi\n\t"
        "movl %esp, " CHECK_AT(adl_register_saved_sp) "\n\t"
        "movl 20(%esp), %eax\n\t"  // target; a0, a1, a2 at 24, 28, 32
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "movl $0x0B0B0B0B, %ebx\n\t"
        "movl $0x05151515, %esi\n\t"
        "movl $0x0D1D1D1D, %edi\n\t"
        "movl $0x0E8E8E8E, %ebp\n\t"
        "movl %esp, " CHECK_AT(adl_register_check) "\n\t"
        "call *%eax\n\t"
        "movl %esp, " CHECK_AT(adl_register_check) "+4\n\t"
        "movl %eax, " CHECK_AT(adl_register_check) "+8\n\t"
        "movl %ebx, " CHECK_AT(adl_register_check) "+12\n\t"
        "movl %esi, " CHECK_AT(adl_register_check) "+16\n\t"
        "movl %edi, " CHECK_AT(adl_register_check) "+20\n\t"
        "movl %ebp, " CHECK_AT(adl_register_check) "+24\n\t"
        "movl " CHECK_AT(adl_register_saved_sp) ", %esp\n\t"
        "popl %edi\n\t"
        "popl %esi\n\t"
        "popl %ebx\n\t"
        "popl %ebp\n\t"
        "ret\n\t");
}
#else
constexpr std::array<uintptr_t, KEPT_REGISTERS> SET_VALUES{
    0x0B0B0B0B0B0B0B0Bu, 0x0E8E8E8E0E8E8E8Eu, 0x0D1D1D1D0D1D1D1Du, 0x0515151505151515u,
    0x1212121212121212u, 0x1313131313131313u, 0x1414141414141414u, 0x1515151515151515u};

// Microsoft x64: arguments in RCX, RDX, R8, R9; the callee gets 32 bytes of shadow space and a 16-byte aligned
// stack.
extern "C" __attribute__((naked)) void registers_around(const void*, uintptr_t, uintptr_t, uintptr_t) {
    asm("pushq %rbx\n\t"
        "pushq %rbp\n\t"
        "pushq %rdi\n\t"
        "pushq %rsi\n\t"
        "pushq %r12\n\t"
        "pushq %r13\n\t"
        "pushq %r14\n\t"
        "pushq %r15\n\t"
        "subq $40, %rsp\n\t"
        "movq %rsp, " CHECK_AT(adl_register_saved_sp) "(%rip)\n\t"
        "movq %rcx, %rax\n\t"  // target
        "movq %rdx, %rcx\n\t"
        "movq %r8, %rdx\n\t"
        "movq %r9, %r8\n\t"
        "movabsq $0x0B0B0B0B0B0B0B0B, %rbx\n\t"
        "movabsq $0x0E8E8E8E0E8E8E8E, %rbp\n\t"
        "movabsq $0x0D1D1D1D0D1D1D1D, %rdi\n\t"
        "movabsq $0x0515151505151515, %rsi\n\t"
        "movabsq $0x1212121212121212, %r12\n\t"
        "movabsq $0x1313131313131313, %r13\n\t"
        "movabsq $0x1414141414141414, %r14\n\t"
        "movabsq $0x1515151515151515, %r15\n\t"
        "movq %rsp, " CHECK_AT(adl_register_check) "(%rip)\n\t"
        "call *%rax\n\t"
        "movq %rsp, " CHECK_AT(adl_register_check) "+8(%rip)\n\t"
        "movq %rax, " CHECK_AT(adl_register_check) "+16(%rip)\n\t"
        "movq %rbx, " CHECK_AT(adl_register_check) "+24(%rip)\n\t"
        "movq %rbp, " CHECK_AT(adl_register_check) "+32(%rip)\n\t"
        "movq %rdi, " CHECK_AT(adl_register_check) "+40(%rip)\n\t"
        "movq %rsi, " CHECK_AT(adl_register_check) "+48(%rip)\n\t"
        "movq %r12, " CHECK_AT(adl_register_check) "+56(%rip)\n\t"
        "movq %r13, " CHECK_AT(adl_register_check) "+64(%rip)\n\t"
        "movq %r14, " CHECK_AT(adl_register_check) "+72(%rip)\n\t"
        "movq %r15, " CHECK_AT(adl_register_check) "+80(%rip)\n\t"
        "movq " CHECK_AT(adl_register_saved_sp) "(%rip), %rsp\n\t"
        "addq $40, %rsp\n\t"
        "popq %r15\n\t"
        "popq %r14\n\t"
        "popq %r13\n\t"
        "popq %r12\n\t"
        "popq %rsi\n\t"
        "popq %rdi\n\t"
        "popq %rbp\n\t"
        "popq %rbx\n\t"
        "ret\n\t");
}
#endif
static_assert(offsetof(RegisterCheck, sp_after) == sizeof(uintptr_t) &&
                  offsetof(RegisterCheck, result) == 2 * sizeof(uintptr_t) &&
                  offsetof(RegisterCheck, kept) == 3 * sizeof(uintptr_t),
              "registers_around writes these offsets");

namespace {

constexpr int MAX_ARGS = 8;

// One call of an export through adl_invoke, as the program makes it.
struct ProbeCall {
    const void* function;
    int count;
    std::array<int32_t, MAX_ARGS> args;
};

template <std::size_t>
using Word = int32_t;

template <std::size_t... I>
int32_t probe_invoke(const ProbeCall& call, std::index_sequence<I...>) {
    using Function = int32_t (*)(Word<I>...);
    return adl_invoke(reinterpret_cast<Function>(call.function), call.args[I]...);
}

int32_t call_through_path(const ProbeCall* call) {
    switch (call->count) {
        case 1: return probe_invoke(*call, std::make_index_sequence<1>{});
        case 2: return probe_invoke(*call, std::make_index_sequence<2>{});
        case 3: return probe_invoke(*call, std::make_index_sequence<3>{});
        case 4: return probe_invoke(*call, std::make_index_sequence<4>{});
        case 5: return probe_invoke(*call, std::make_index_sequence<5>{});
        case 6: return probe_invoke(*call, std::make_index_sequence<6>{});
        case 8: return probe_invoke(*call, std::make_index_sequence<8>{});
        default: return 0;
    }
}

// The stack pointer, the result and every callee-saved register after a call inside registers_around.
void expect_clean_return(const std::string& name, int32_t expected) {
    const RegisterCheck& check = adl_register_check;
    EXPECT_EQ(static_cast<int32_t>(static_cast<uint32_t>(check.result)), expected) << name << ": wrong result";
    EXPECT_EQ(check.sp_after, check.sp_before)
        << name << ": the stack pointer moved by " << static_cast<intptr_t>(check.sp_after - check.sp_before);
    for (int r = 0; r < KEPT_REGISTERS; ++r) {
        const auto i = static_cast<std::size_t>(r);
        EXPECT_EQ(check.kept[i], SET_VALUES[i]) << name << ": callee-saved register " << r << " changed";
    }
}

// The exports' value: the arguments mixed in order.
int32_t mixed(const std::array<int32_t, MAX_ARGS>& args, int count) {
    uint32_t value = 17;
    for (int i = 0; i < count; ++i) value = value * 31u + static_cast<uint32_t>(args[static_cast<std::size_t>(i)]);
    return static_cast<int32_t>(value);
}

TEST(AdlInvoke, CdeclAndStdcallExportsReturnTheirValueAndLeaveStackAndRegistersAsTheyWere) {
    const std::filesystem::path dll = std::filesystem::path(SOTRIX_FAKES_DIR) / "adl_conventions.dll";
    const HMODULE module = LoadLibraryW(dll.wstring().c_str());
    ASSERT_NE(module, nullptr) << "the exports were not built: " << dll;
    // Distinct words, some with the top bit set, so that a lost, swapped or sign-damaged argument shows.
    const std::array<int32_t, MAX_ARGS> args{0x11111111, -2, 0x7FFFFFFF, 4, static_cast<int32_t>(0x80000005u),
                                             6,          -7, 0x08};
    for (const char* convention : {"cdecl", "stdcall"}) {
        for (int count : {1, 2, 3, 4, 5, 6, 8}) {
            const std::string name = std::string(convention) + "_" + std::to_string(count);
            const auto function = reinterpret_cast<const void*>(GetProcAddress(module, name.c_str()));
            ASSERT_NE(function, nullptr) << name;
            const int32_t expected = mixed(args, count);

            // The program's way, the typed call of adl_invoke compiled into an ordinary function.
            const ProbeCall call{function, count, args};
            adl_register_check = RegisterCheck{};
            registers_around(reinterpret_cast<const void*>(&call_through_path), reinterpret_cast<uintptr_t>(&call), 0,
                             0);
            expect_clean_return(name + " through adl_invoke", expected);
#if defined(__i386__)
            // The hand-written call alone, where no compiled code around it could restore what it changed.
            std::array<uint32_t, MAX_ARGS> words{};
            for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint32_t>(args[i]);
            adl_register_check = RegisterCheck{};
            registers_around(reinterpret_cast<const void*>(&adl_call_words), reinterpret_cast<uintptr_t>(function),
                             reinterpret_cast<uintptr_t>(words.data()), static_cast<uintptr_t>(count));
            expect_clean_return(name + " through adl_call_words", expected);
#endif
        }
    }
    FreeLibrary(module);
}

}  // namespace
