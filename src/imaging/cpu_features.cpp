#include "imaging/cpu_features.h"

#include <algorithm>
#include <atomic>

namespace pagewell {
namespace {

std::atomic<TLoopLevel> cap{TLoopLevel::Avx2Gfni};

TLoopLevel Detect() {
#if PAGEWELL_AVX2_LOOPS
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("avx2")) return TLoopLevel::Baseline;
  return __builtin_cpu_supports("gfni") ? TLoopLevel::Avx2Gfni : TLoopLevel::Avx2;
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
