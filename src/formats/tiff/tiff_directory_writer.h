#pragma once
// TTiffDirectoryWriter: lays out one image file directory (IFD) and the data
// its entries point to, least significant byte first. Entries are written in
// ascending tag order as TIFF requires; the data follows the directory in the
// order the entries were added, each block padded to an even length so that
// every offset stays word-aligned. A directory may carry sub-directories (the
// Exif directory of a page): each is laid out, with its own data, among the
// data blocks at the place its entry was added, and its entry holds its
// offset. Both the TIFF pages and the TIFF structure inside a JPEG file's
// Exif segment are written by it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/memory_stream.h"

namespace pagewell {

class TTiffDirectoryWriter {
 public:
  bool Empty() const { return entries_.empty(); }
  bool Has(std::uint16_t tag) const;

  void AddShort(std::uint16_t tag, std::uint16_t value);
  void AddLong(std::uint16_t tag, std::uint32_t value);
  void AddShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
  void AddLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values);
  void AddRationals(std::uint16_t tag, const std::vector<std::uint32_t>& numeratorsAndDenominators);
  // A NUL-terminated text; `fixedLength` > 0 pads or cuts it to that many
  // bytes including the NUL.
  void AddAscii(std::uint16_t tag, const std::string& text, std::size_t fixedLength = 0);
  void AddUndefined(std::uint16_t tag, const std::vector<std::uint8_t>& bytes);
  // Values of any type already in the file's byte order: `bytes` holds
  // `count` values of `type`.
  void AddValues(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::vector<std::uint8_t> bytes);
  // A single LONG holding the offset of `data` (a strip), whatever its size.
  // The strip is not copied: it must stay unchanged until WriteTo.
  void AddDataOffset(std::uint16_t tag, const std::vector<std::uint8_t>& data);
  // A single LONG holding the offset of `directory`, laid out in this
  // directory's data.
  void AddSubDirectory(std::uint16_t tag, TTiffDirectoryWriter directory);

  // Appends the directory and its data at the end of `file`, which starts
  // with the TIFF header (every offset is a position in `file`) and whose
  // length must be even. Answers the position of the directory's next-IFD
  // field, which is 0.
  std::uint32_t WriteTo(TMemoryStream& file) const;
  // The same laid out for position `at` (even) of the TIFF structure but
  // appended at the end of `file`, which holds only part of the structure
  // (a file written piece by piece). Answers the position of the next-IFD
  // field in `file`.
  std::uint32_t WriteTo(TMemoryStream& file, std::uint32_t at) const;

 private:
  struct TEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::vector<std::uint8_t> payload;  // the values, least significant byte first
    bool pointsToPayload;               // the value field holds the payload's offset
    std::shared_ptr<const TTiffDirectoryWriter> subDirectory;
    const std::vector<std::uint8_t>* borrowed = nullptr;  // data written in place of the payload
  };
  void Add(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::vector<std::uint8_t> payload);
  bool IsInValueField(const TEntry& entry) const;
  // The bytes an entry's data block takes after the directory (0 for values
  // that fit the entry), before padding.
  std::size_t BlockSize(const TEntry& entry) const;
  // The directory with its data, as many bytes as Write puts down.
  std::size_t LaidOutSize() const;
  // Writes the directory and its data at the end of `file`, which is
  // position `at` of the TIFF structure (`file` may hold bytes before it).
  void Write(TMemoryStream& file, std::uint32_t at) const;

  std::vector<TEntry> entries_;  // in the order added, which is the data order
};

// The first bytes of every TIFF structure written here: "II", 42 and the
// offset 8 of the first directory.
void WriteTiffHeader(TMemoryStream& file);

}  // namespace pagewell
