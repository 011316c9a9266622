#pragma once
// Which optional instruction sets the processor offers.
//
// The pixel loops that gain most from wide vectors (quarter and half turns)
// have a second version for AVX2. Both versions are compiled into every
// build; the AVX2 one is chosen at run time, so the product still runs on
// processors with SSE2 alone.
#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)
#define PAGEWELL_AVX2_LOOPS 1
// Marks a function compiled for AVX2. Call it only when ProcessorHasAvx2().
#define PAGEWELL_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define PAGEWELL_AVX2_LOOPS 0
#endif

namespace pagewell {

// True when the processor and the operating system support AVX2 and the
// baseline loops were not asked for.
bool ProcessorHasAvx2();

// Makes ProcessorHasAvx2 answer false from now on (true) or answer for the
// processor again (false): lets tests run the baseline loops on a machine
// that has AVX2, so that both versions are checked there.
void UseBaselineLoopsOnly(bool baselineOnly);

}  // namespace pagewell
