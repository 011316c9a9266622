#include "imaging/cpu_features.h"

#include <atomic>

namespace pagewell {
namespace {

std::atomic<bool> baselineOnlyRequested{false};

bool DetectAvx2() {
#if PAGEWELL_AVX2_LOOPS
  // GCC's check includes the operating system's support for saving the
  // 256-bit registers (XGETBV), not only the processor's feature bit.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

}  // namespace

bool ProcessorHasAvx2() {
  static const bool detected = DetectAvx2();
  return detected && !baselineOnlyRequested.load(std::memory_order_relaxed);
}

void UseBaselineLoopsOnly(bool baselineOnly) { baselineOnlyRequested.store(baselineOnly, std::memory_order_relaxed); }

}  // namespace pagewell
