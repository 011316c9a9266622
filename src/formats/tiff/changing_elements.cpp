#include "formats/tiff/changing_elements.h"

namespace pagewell {
namespace {

// Position of the first pixel at or after x whose bit differs from `bit`,
// or width. Whole bytes of one colour are skipped at once.
int NextDifferent(const std::uint8_t* row, int x, int width, int bit) {
  const std::uint8_t same = bit ? 0xFF : 0x00;
  while (x < width) {
    if ((x & 7) == 0) {
      const std::uint8_t byte = row[x >> 3];
      if (byte == same) {
        x += 8;
        continue;
      }
      // The first differing bit of this byte.
      const std::uint8_t diff = static_cast<std::uint8_t>(byte ^ same);
      int offset = 0;
      while (!(diff & (0x80 >> offset))) ++offset;
      x += offset;
      break;
    }
    if (((row[x >> 3] >> (7 - (x & 7))) & 1) != bit) break;
    ++x;
  }
  return x < width ? x : width;
}

}  // namespace

void FindChangingElements(const std::uint8_t* row, int width, int whiteBit, std::vector<int>& changes) {
  changes.clear();
  int bit = whiteBit;
  for (int x = NextDifferent(row, 0, width, bit); x < width; x = NextDifferent(row, x, width, bit)) {
    changes.push_back(x);
    bit ^= 1;
  }
  changes.push_back(width);
  changes.push_back(width);
}

void SetAllWhite(int width, std::vector<int>& changes) {
  changes.assign(2, width);
}

}  // namespace pagewell
