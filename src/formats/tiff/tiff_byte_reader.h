#pragma once
// TTiffByteReader: reads 16 and 32-bit values from a TIFF file in memory in
// the file's byte order ("II" least, "MM" most significant byte first).
// Every read is checked against the end of the file.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

class TTiffByteReader {
 public:
  TTiffByteReader(const std::vector<std::uint8_t>& bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

  std::size_t Size() const { return bytes_.size(); }
  bool BigEndian() const { return bigEndian_; }
  // Whether `count` bytes starting at `offset` lie inside the file.
  bool Holds(std::uint64_t offset, std::uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  // Callers check Holds first.
  std::uint16_t U16(std::size_t at) const {
    const std::uint8_t a = bytes_[at], b = bytes_[at + 1];
    return static_cast<std::uint16_t>(bigEndian_ ? (a << 8 | b) : (b << 8 | a));
  }
  std::uint32_t U32(std::size_t at) const {
    const std::uint32_t hi = U16(bigEndian_ ? at : at + 2), lo = U16(bigEndian_ ? at + 2 : at);
    return hi << 16 | lo;
  }
  const std::uint8_t* Data() const { return bytes_.data(); }

 private:
  const std::vector<std::uint8_t>& bytes_;
  bool bigEndian_;
};

}  // namespace pagewell
