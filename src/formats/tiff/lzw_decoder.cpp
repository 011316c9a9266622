#include "formats/tiff/lzw_decoder.h"

#include <algorithm>
#include <array>

#include "formats/tiff/tiff_errors.h"

namespace pagewell {
namespace {

constexpr int kClear = 256;
constexpr int kEndOfInformation = 257;
constexpr int kFirstFree = 258;
constexpr int kTableSize = 4096;

// The string table: each code is a shorter code plus one byte.
struct TStringTable {
  std::array<std::uint16_t, kTableSize> prefix{};
  std::array<std::uint8_t, kTableSize> suffix{};
  std::array<std::uint8_t, kTableSize> first{};
  std::array<std::uint16_t, kTableSize> length{};

  TStringTable() {
    for (int i = 0; i < 256; ++i) {
      suffix[i] = first[i] = static_cast<std::uint8_t>(i);
      length[i] = 1;
    }
  }
};

class TCodeReader {
 public:
  TCodeReader(const std::uint8_t* in, std::size_t size) : in_(in), size_(size) {}
  // Answers -1 when the input has no whole code left.
  int Next(int width) {
    while (pending_ < width) {
      if (position_ >= size_) return -1;
      buffer_ = buffer_ << 8 | in_[position_++];
      pending_ += 8;
    }
    pending_ -= width;
    return static_cast<int>((buffer_ >> pending_) & ((1u << width) - 1));
  }

 private:
  const std::uint8_t* in_;
  std::size_t size_;
  std::size_t position_ = 0;
  std::uint32_t buffer_ = 0;
  int pending_ = 0;
};

// Writes the string of `code` at out[at], cut at outSize; answers its length.
std::size_t WriteString(const TStringTable& table, int code, std::uint8_t* out, std::size_t at, std::size_t outSize) {
  const std::size_t length = table.length[code];
  for (std::size_t i = length; i-- > 0;) {
    if (at + i < outSize) out[at + i] = table.suffix[code];
    code = table.prefix[code];
  }
  return length;
}

}  // namespace

std::size_t LzwDecode(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize) {
  TStringTable table;
  TCodeReader codes(in, inSize);
  int width = 9;
  int next = kFirstFree;
  int previous = -1;
  std::size_t written = 0;
  while (written < outSize) {
    const int code = codes.Next(width);
    if (code < 0 || code == kEndOfInformation) break;
    if (code == kClear) {
      width = 9;
      next = kFirstFree;
      previous = -1;
      continue;
    }
    if (previous < 0) {
      if (code > 255) throw EInvalidGraphic(tiffmsg::kCorrupted);
      out[written++] = static_cast<std::uint8_t>(code);
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= kTableSize)) throw EInvalidGraphic(tiffmsg::kCorrupted);
    // The new entry is the previous string plus the first byte of this one;
    // for code == next ("KwKwK") that byte is the previous string's first.
    const std::uint8_t firstByte = code == next ? table.first[previous] : table.first[code];
    if (next < kTableSize) {
      table.prefix[next] = static_cast<std::uint16_t>(previous);
      table.suffix[next] = firstByte;
      table.first[next] = table.first[previous];
      table.length[next] = static_cast<std::uint16_t>(table.length[previous] + 1);
      ++next;
    }
    written += WriteString(table, code, out, written, outSize);
    previous = code;
    // The code width grows when the next code would need it, one early.
    if (next + 1 >= (1 << width) && width < 12) ++width;
  }
  return std::min(written, outSize);
}

}  // namespace pagewell
