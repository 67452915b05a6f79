// The i386 call into the AMD display library that is right for a cdecl and a stdcall callee alike (see
// adl_invoke.h). Nothing on x86-64.
#include "gpu/adl_invoke.h"

#if defined(__i386__)

// A naked function: the compiler adds no prologue or epilogue and cannot place anything relative to ESP, so
// the body below is the whole function. cdecl for our side: arguments at 8, 12 and 16 above EBP once EBP is
// pushed. EBP is callee-saved in both conventions, so it still holds our ESP when the callee returns, whether
// the callee removed its arguments or not; `movl %ebp, %esp` then undoes both cases alike.
extern "C" __attribute__((naked)) int32_t adl_call_words(const void*, const uint32_t*, uint32_t) {
    asm("pushl %ebp\n\t"
        "movl %esp, %ebp\n\t"
        "movl 16(%ebp), %ecx\n\t"  // count
        "movl 12(%ebp), %edx\n\t"  // words
        "leal 0(,%ecx,4), %eax\n\t"
        "subl %eax, %esp\n\t"
        "andl $-16, %esp\n\t"  // the callee finds the stack 16-byte aligned, as GCC-built code prefers
        "testl %ecx, %ecx\n\t"
        "jz 2f\n"
        "1:\n\t"  // copy words[count - 1] .. words[0] to the new stack top, words[0] lowest
        "movl -4(%edx,%ecx,4), %eax\n\t"
        "movl %eax, -4(%esp,%ecx,4)\n\t"
        "decl %ecx\n\t"
        "jnz 1b\n"
        "2:\n\t"
        "call *8(%ebp)\n\t"    // the result stays in EAX
        "movl %ebp, %esp\n\t"  // balanced again, whatever the callee removed
        "popl %ebp\n\t"
        "ret\n\t");
}

#endif
