#include "common/VectorState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace velkaro {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// The instruction needs AVX; the rest of the program is built without it.
__attribute__((target("avx"))) void zeroUpperHalves()
{
    _mm256_zeroupper();
}

bool processorHasAvx()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
}

} // namespace

void ClearUpperVectorState()
{
    static const bool hasAvx = processorHasAvx();
    if (hasAvx)
        zeroUpperHalves();
}

#else

void ClearUpperVectorState()
{}

#endif

} // namespace velkaro
