#pragma once
// LZW decoding as TIFF 6.0 defines it (compression 5): codes of 9 to 12
// bits, most significant bit first, Clear 256, EndOfInformation 257, and the
// code width growing one code early.
#include <cstddef>
#include <cstdint>

namespace pagewell {

// Decodes until `outSize` bytes are written, EndOfInformation or the end of
// the input; answers the number of bytes written. Raises EInvalidGraphic
// "TIFF file image data corrupted" for a code that cannot occur.
std::size_t LzwDecode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize);

}  // namespace pagewell
