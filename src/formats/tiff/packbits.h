#pragma once
// PackBits, the byte-oriented run-length scheme of TIFF compression 32773.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

// Appends the PackBits code of `count` bytes (one row) to `out`. Runs of 2
// to 128 equal bytes become the header 1 - n and the byte; other bytes form
// literal runs of at most 128, the header n - 1 and the bytes. A literal run
// stops before the first pair of equal bytes, and no run goes past the end.
void PackBitsEncode(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& out);

// Decodes PackBits data into `out` until `outSize` bytes are written or the
// input ends; answers the number of bytes written. A run that would go past
// `outSize` is cut there; the no-operation header -128 is skipped.
std::size_t PackBitsDecode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize);

}  // namespace pagewell
