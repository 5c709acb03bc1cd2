#include "runtime/processorstate.h"

#if defined(__x86_64__) || defined(__i386__)
#define EXPLORERS_X86 1
#endif

namespace canvas {

void clearVectorState() {
#ifdef EXPLORERS_X86
    // Asked once: the instruction exists only where the processor has AVX.
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        __asm__ __volatile__("vzeroupper" ::: "memory");
#endif
}

} // namespace canvas
