#pragma once
// TTiffByteReader: reads 16 and 32-bit values from a TIFF structure in
// memory (a TIFF file, or the Exif block of a JPEG file) in its byte order
// ("II" least, "MM" most significant byte first). Every read is checked
// against the end of the data.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pagewell {

class TTiffByteReader {
 public:
  TTiffByteReader(const std::uint8_t* data, std::size_t size, bool bigEndian)
      : data_(data), size_(size), bigEndian_(bigEndian) {}
  TTiffByteReader(const std::vector<std::uint8_t>& bytes, bool bigEndian)
      : TTiffByteReader(bytes.data(), bytes.size(), bigEndian) {}

  std::size_t Size() const { return size_; }
  bool BigEndian() const { return bigEndian_; }
  // Whether `count` bytes starting at `offset` lie inside the data.
  bool Holds(std::uint64_t offset, std::uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
  // Callers check Holds first.
  std::uint16_t U16(std::size_t at) const {
    const std::uint8_t a = data_[at], b = data_[at + 1];
    return static_cast<std::uint16_t>(bigEndian_ ? (a << 8 | b) : (b << 8 | a));
  }
  std::uint32_t U32(std::size_t at) const {
    const std::uint32_t hi = U16(bigEndian_ ? at : at + 2), lo = U16(bigEndian_ ? at + 2 : at);
    return hi << 16 | lo;
  }
  const std::uint8_t* Data() const { return data_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  bool bigEndian_;
};

// The reader a TIFF header announces ("II" or "MM", then 42) and the offset of
// the first directory; nothing for data that does not start so.
inline std::optional<TTiffByteReader> OpenTiffHeader(const std::uint8_t* data, std::size_t size,
                                                     std::uint32_t& firstDirectory) {
  if (size < 8 || data[0] != data[1] || (data[0] != 'I' && data[0] != 'M')) return std::nullopt;
  const TTiffByteReader reader(data, size, data[0] == 'M');
  if (reader.U16(2) != 42) return std::nullopt;
  firstDirectory = reader.U32(4);
  return reader;
}

}  // namespace pagewell
