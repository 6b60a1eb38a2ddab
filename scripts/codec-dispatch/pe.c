/* libvorbis's functions under their own names, for Windows, which has no indirect
   functions: each a jump through a pointer that a constructor sets before main to
   the copy built for x86-64-v3 where the CPU runs that (AVX2, FMA, BMI1 and 2,
   LZCNT, MOVBE, and a system that saves the AVX state), else to the copy built for
   the baseline x86-64. A call before then finds a null pointer and crashes rather
   than mix the copies. functions.h, which scripts/build-codecs writes, lists them:
   DISPATCH(name). */

typedef void function(void);

#define DISPATCH(name)                                                                \
    function x86_64__##name, x86_64_v3__##name;                                       \
    static function *pointer_##name __attribute__((used));                           \
    __asm__(".text\n\t.globl " #name "\n" #name ":\n\tjmp *pointer_" #name "(%rip)\n");
#include "functions.h"
#undef DISPATCH

__attribute__((constructor)) static void choose_copy(void)
{
    __builtin_cpu_init();
    int v3 = __builtin_cpu_supports("x86-64-v3");
#define DISPATCH(name) pointer_##name = v3 ? x86_64_v3__##name : x86_64__##name;
#include "functions.h"
}
