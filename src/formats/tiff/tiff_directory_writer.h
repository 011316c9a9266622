#pragma once
// TTiffDirectoryWriter: lays out one image file directory (IFD) and the data
// its entries point to, least significant byte first. Entries are written in
// ascending tag order as TIFF requires; the data follows the directory in the
// order the entries were added, each block padded to an even length so that
// every offset stays word-aligned.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/memory_stream.h"

namespace pagewell {

class TTiffDirectoryWriter {
 public:
  void AddShort(std::uint16_t tag, std::uint16_t value);
  void AddLong(std::uint16_t tag, std::uint32_t value);
  void AddShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
  void AddRationals(std::uint16_t tag, const std::vector<std::uint32_t>& numeratorsAndDenominators);
  // A NUL-terminated text; `fixedLength` > 0 pads or cuts it to that many
  // bytes including the NUL.
  void AddAscii(std::uint16_t tag, const std::string& text, std::size_t fixedLength = 0);
  void AddUndefined(std::uint16_t tag, const std::vector<std::uint8_t>& bytes);
  // A single LONG holding the offset of `data` (a strip), whatever its size.
  void AddDataOffset(std::uint16_t tag, const std::vector<std::uint8_t>& data);

  // Appends the directory and its data at the end of `file` (whose length
  // must be even) and answers the position of its next-IFD field, which is 0.
  std::uint32_t WriteTo(TMemoryStream& file) const;

 private:
  struct TEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::vector<std::uint8_t> payload;  // the values, least significant byte first
    bool pointsToPayload;               // the value field holds the payload's offset
  };
  void Add(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::vector<std::uint8_t> payload);

  std::vector<TEntry> entries_;  // in the order added, which is the data order
};

}  // namespace pagewell
