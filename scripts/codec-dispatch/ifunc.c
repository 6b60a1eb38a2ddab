/* libvorbis's functions under their own names, for ELF: each an indirect function
   that the loader (or a static program's start-up) resolves once, before any code
   of the program runs, to the copy built for x86-64-v3 where the CPU runs that
   (AVX2, FMA, BMI1 and 2, LZCNT, MOVBE, and a system that saves the AVX state),
   else to the copy built for the baseline x86-64. functions.h, which
   scripts/build-codecs writes, lists them: DISPATCH(name). */

typedef void function(void);

static int runs_x86_64_v3(void)
{
    /* Resolvers run before the constructor that would read the CPU otherwise. */
    __builtin_cpu_init();
    return __builtin_cpu_supports("x86-64-v3");
}

#define DISPATCH(name)                                                                \
    function x86_64__##name, x86_64_v3__##name;                                       \
    static function *resolve_##name(void)                                             \
    {                                                                                 \
        return runs_x86_64_v3() ? x86_64_v3__##name : x86_64__##name;                 \
    }                                                                                 \
    function name __attribute__((ifunc("resolve_" #name)));
#include "functions.h"
