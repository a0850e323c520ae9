#pragma once
// The row kernels of the pixel effects are written once as plain loops and compiled twice: for
// the baseline instruction set and, on x86-64, for AVX2, where the compiler turns the same
// loops into 32-byte vector code. Each effect picks the variant once per call. Only integer
// kernels are compiled twice, so both variants give the same bytes by construction; the tests
// run both against the reference implementations.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VC_HAS_WIDE_PATH 1
#define VC_WIDE_TARGET __attribute__((target("avx2")))
#else
#define VC_HAS_WIDE_PATH 0
#define VC_WIDE_TARGET
#endif

#define VC_KERNEL inline __attribute__((always_inline))

enum class TvcVectorPath { Plain, Wide };

// Wide when the processor can run it and nothing forced the plain path.
bool vcUseWidePath();
// Tests and benchmarks: run every effect on the given path (Wide falls back to Plain on a
// processor without AVX2). Returns the previous choice.
TvcVectorPath vcSetVectorPath(TvcVectorPath Path);
