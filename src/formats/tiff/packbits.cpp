#include "formats/tiff/packbits.h"

#include <algorithm>
#include <cstring>

namespace pagewell {
namespace {

constexpr std::size_t kMaxRun = 128;

// Length of the run of equal bytes starting at i, at most kMaxRun.
std::size_t RepeatLength(const std::uint8_t* bytes, std::size_t i, std::size_t count) {
  std::size_t n = 1;
  while (i + n < count && n < kMaxRun && bytes[i + n] == bytes[i]) ++n;
  return n;
}

// Length of the literal run starting at i: up to the first pair of equal
// bytes, at most kMaxRun.
std::size_t LiteralLength(const std::uint8_t* bytes, std::size_t i, std::size_t count) {
  std::size_t n = 1;
  while (i + n < count && n < kMaxRun && !(i + n + 1 < count && bytes[i + n] == bytes[i + n + 1])) ++n;
  return n;
}

}  // namespace

void PackBitsEncode(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& out) {
  std::size_t i = 0;
  while (i < count) {
    const std::size_t repeat = RepeatLength(bytes, i, count);
    if (repeat >= 2) {
      out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(repeat)));
      out.push_back(bytes[i]);
      i += repeat;
      continue;
    }
    const std::size_t literal = LiteralLength(bytes, i, count);
    out.push_back(static_cast<std::uint8_t>(literal - 1));
    out.insert(out.end(), bytes + i, bytes + i + literal);
    i += literal;
  }
}

std::size_t PackBitsDecode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize) {
  std::size_t i = 0;
  std::size_t written = 0;
  while (i < inSize && written < outSize) {
    const int header = static_cast<std::int8_t>(in[i++]);
    if (header >= 0) {
      const std::size_t n = std::min({static_cast<std::size_t>(header) + 1, inSize - i, outSize - written});
      std::memcpy(out + written, in + i, n);
      written += n;
      i += static_cast<std::size_t>(header) + 1;
    } else if (header != -128) {
      if (i >= inSize) break;
      const std::size_t n = std::min(static_cast<std::size_t>(1 - header), outSize - written);
      std::memset(out + written, in[i++], n);
      written += n;
    }
  }
  return written;
}

}  // namespace pagewell
