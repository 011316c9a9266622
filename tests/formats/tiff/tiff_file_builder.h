#pragma once
// TTiffFileBuilder: writes small TIFF files entry by entry, in either byte
// order, so that the reader tests can describe exactly the file they need,
// including broken ones.
#include <cstdint>
#include <map>
#include <vector>

namespace pagewell::tifftest {

class TTiffFileBuilder {
 public:
  explicit TTiffFileBuilder(bool bigEndian = false) : bigEndian_(bigEndian) {}

  // Strip data lies right after the header, in the order added; answers its offset.
  std::uint32_t AddStrip(const std::vector<std::uint8_t>& bytes);
  // An entry of the type with these values (RATIONAL: numerator, denominator
  // pairs); replaces an entry of the same tag.
  void Set(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> values);
  void Remove(std::uint16_t tag) { entries_.erase(tag); }
  // An entry with a raw count and value field, for broken offsets.
  void SetRaw(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t valueField);
  // StripOffsets and StripByteCounts (LONG) for the strips added so far.
  void SetStripEntries();

  std::vector<std::uint8_t> Build() const;

 private:
  struct TEntry {
    std::uint16_t type;
    std::uint32_t count;
    std::vector<std::uint32_t> values;
    bool raw;
    std::uint32_t rawValue;
  };
  void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) const;
  void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) const;
  void PutValue(std::vector<std::uint8_t>& out, std::uint16_t type, std::uint32_t v) const;

  bool bigEndian_;
  std::vector<std::uint8_t> strips_;
  std::vector<std::uint32_t> stripOffsets_, stripSizes_;
  std::map<std::uint16_t, TEntry> entries_;
};

// A valid file of one uncompressed strip with the given layout: the usual
// entries, which tests then change or remove.
TTiffFileBuilder UncompressedPage(std::uint32_t width, std::uint32_t height, std::uint16_t photometric,
                                  std::vector<std::uint32_t> bitsPerSample, const std::vector<std::uint8_t>& strip,
                                  bool bigEndian = false);

}  // namespace pagewell::tifftest
