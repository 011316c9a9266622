#pragma once
// Rounding as the image operations define it: to the nearest integer with
// ties to even (2.5 gives 2, 3.5 gives 4). Written out because the library's
// lrint and nearbyint are out-of-line calls on the plain x86 targets, and the
// pixel loops call this once per coordinate.
namespace pagewell {

// Values beyond ± 2^30 are clamped first; they only ever describe points far
// outside any raster.
inline int RoundHalfEven(double v) {
  constexpr double kLimit = 1073741824.0;
  if (!(v < kLimit)) return static_cast<int>(kLimit);  // also NaN
  if (v < -kLimit) return -static_cast<int>(kLimit);
  const int whole = static_cast<int>(v);  // toward zero
  const double fraction = v - whole;       // exact below 2^30
  if (fraction > 0.5 || (fraction == 0.5 && (whole & 1))) return whole + 1;
  if (fraction < -0.5 || (fraction == -0.5 && (whole & 1))) return whole - 1;
  return whole;
}

// The same rounding without a branch, for |v| <= 2^30 (no clamp), in loops
// over whole rows that the compiler turns into vector instructions (the
// branches of RoundHalfEven go either way at random along a turned row).
// Adding 1.5 × 2^52 moves v where a double has no fraction bits, so the
// addition itself rounds to nearest, ties to even, and taking the constant
// away again is exact.
inline double RoundedHalfEvenWithinLimit(double v) {
  constexpr double kShift = 6755399441055744.0;
  return (v + kShift) - kShift;
}

}  // namespace pagewell
