#pragma once
// Which optional instruction sets the processor offers.
//
// The pixel loops that gain most from wide vectors (quarter and half turns)
// have a second version for AVX2, the bit reversal of 1-bit rows a third
// one that adds GFNI, and both the quarter turn and the bit reversal of
// 1-bit rows a fourth one for AVX-512 with byte permutes (VBMI) and GFNI.
// Every version is compiled into every build; the widest one the processor
// supports is chosen at run time, so the product still runs on processors
// with SSE2 alone.
#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)
#define PAGEWELL_AVX2_LOOPS 1
// Marks a function compiled for AVX2. Call it only when ProcessorHasAvx2().
#define PAGEWELL_TARGET_AVX2 __attribute__((target("avx2")))
// Marks a function compiled for AVX2 and GFNI. Call it only when
// ProcessorHasGfni().
#define PAGEWELL_TARGET_AVX2_GFNI __attribute__((target("avx2,gfni")))
// Marks a function compiled for AVX-512 (with byte permutes) and GFNI. Call
// it only when ProcessorHasAvx512().
#define PAGEWELL_TARGET_AVX512 __attribute__((target("avx2,gfni,avx512f,avx512bw,avx512vl,avx512vbmi")))
#else
#define PAGEWELL_AVX2_LOOPS 0
#endif

namespace pagewell {

// The widest loops in use, in increasing order.
enum class TLoopLevel { Baseline, Avx2, Avx2Gfni, Avx512 };

// The widest loops the processor and the operating system support (the
// check includes the operating system's saving of the wide registers),
// capped by LimitLoopsTo.
TLoopLevel LoopLevel();
inline bool ProcessorHasAvx2() { return LoopLevel() >= TLoopLevel::Avx2; }
inline bool ProcessorHasGfni() { return LoopLevel() >= TLoopLevel::Avx2Gfni; }
inline bool ProcessorHasAvx512() { return LoopLevel() >= TLoopLevel::Avx512; }

// Caps the loops chosen from now on (TLoopLevel::Avx512: no cap). Lets
// tests run the narrower versions on a machine that has the wider ones, so
// that every version is checked there.
void LimitLoopsTo(TLoopLevel level);
// The level the processor offers, whatever the cap.
TLoopLevel ProcessorLoopLevel();

}  // namespace pagewell
