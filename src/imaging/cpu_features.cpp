#include "imaging/cpu_features.h"

#include <algorithm>
#include <atomic>

namespace pagewell {
namespace {

std::atomic<TLoopLevel> cap{TLoopLevel::Avx512};

TLoopLevel Detect() {
#if PAGEWELL_AVX2_LOOPS
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("avx2")) return TLoopLevel::Baseline;
  if (!__builtin_cpu_supports("gfni")) return TLoopLevel::Avx2;
  const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
  return avx512 ? TLoopLevel::Avx512 : TLoopLevel::Avx2Gfni;
#else
  return TLoopLevel::Baseline;
#endif
}

}  // namespace

TLoopLevel ProcessorLoopLevel() {
  static const TLoopLevel detected = Detect();
  return detected;
}

TLoopLevel LoopLevel() { return std::min(ProcessorLoopLevel(), cap.load(std::memory_order_relaxed)); }

void LimitLoopsTo(TLoopLevel level) { cap.store(level, std::memory_order_relaxed); }

}  // namespace pagewell
