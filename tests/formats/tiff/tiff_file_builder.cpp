#include "tiff_file_builder.h"

#include "formats/tiff/tiff_tags.h"

namespace pagewell::tifftest {

std::uint32_t TTiffFileBuilder::AddStrip(const std::vector<std::uint8_t>& bytes) {
  const auto offset = static_cast<std::uint32_t>(8 + strips_.size());
  strips_.insert(strips_.end(), bytes.begin(), bytes.end());
  stripOffsets_.push_back(offset);
  stripSizes_.push_back(static_cast<std::uint32_t>(bytes.size()));
  return offset;
}

void TTiffFileBuilder::Set(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> values) {
  const auto count = static_cast<std::uint32_t>(type == tiff::ftRational ? values.size() / 2 : values.size());
  entries_[tag] = {type, count, std::move(values), false, 0};
}

void TTiffFileBuilder::SetRaw(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t valueField) {
  entries_[tag] = {type, count, {}, true, valueField};
}

void TTiffFileBuilder::SetStripEntries() {
  Set(tiff::tagStripOffsets, tiff::ftLong, stripOffsets_);
  Set(tiff::tagStripByteCounts, tiff::ftLong, stripSizes_);
}

void TTiffFileBuilder::PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) const {
  const std::uint8_t lo = static_cast<std::uint8_t>(v), hi = static_cast<std::uint8_t>(v >> 8);
  out.push_back(bigEndian_ ? hi : lo);
  out.push_back(bigEndian_ ? lo : hi);
}

void TTiffFileBuilder::PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) const {
  PutU16(out, bigEndian_ ? v >> 16 : v & 0xFFFF);
  PutU16(out, bigEndian_ ? v & 0xFFFF : v >> 16);
}

void TTiffFileBuilder::PutValue(std::vector<std::uint8_t>& out, std::uint16_t type, std::uint32_t v) const {
  switch (tiff::FieldTypeSize(type)) {
    case 1: out.push_back(static_cast<std::uint8_t>(v)); break;
    case 2: PutU16(out, v); break;
    default: PutU32(out, v); break;
  }
}

std::vector<std::uint8_t> TTiffFileBuilder::Build() const {
  std::vector<std::uint8_t> file;
  file.push_back(bigEndian_ ? 'M' : 'I');
  file.push_back(bigEndian_ ? 'M' : 'I');
  PutU16(file, 42);
  std::vector<std::uint8_t> data = strips_;
  if (data.size() % 2) data.push_back(0);
  const auto directory = static_cast<std::uint32_t>(8 + data.size());
  PutU32(file, directory);
  file.insert(file.end(), data.begin(), data.end());

  std::vector<std::uint8_t> external;
  const std::uint32_t externalStart = directory + 2 + 12 * static_cast<std::uint32_t>(entries_.size()) + 4;
  std::vector<std::uint8_t> ifd;
  PutU16(ifd, static_cast<std::uint32_t>(entries_.size()));
  for (const auto& [tag, e] : entries_) {
    PutU16(ifd, tag);
    PutU16(ifd, e.type);
    PutU32(ifd, e.count);
    if (e.raw) {
      PutU32(ifd, e.rawValue);
      continue;
    }
    std::vector<std::uint8_t> values;
    for (std::uint32_t v : e.values) PutValue(values, e.type == tiff::ftRational ? std::uint16_t{tiff::ftLong} : e.type, v);
    if (values.size() <= 4) {
      values.resize(4, 0);
      ifd.insert(ifd.end(), values.begin(), values.end());
    } else {
      PutU32(ifd, externalStart + static_cast<std::uint32_t>(external.size()));
      external.insert(external.end(), values.begin(), values.end());
    }
  }
  PutU32(ifd, 0);
  file.insert(file.end(), ifd.begin(), ifd.end());
  file.insert(file.end(), external.begin(), external.end());
  return file;
}

TTiffFileBuilder UncompressedPage(std::uint32_t width, std::uint32_t height, std::uint16_t photometric,
                                  std::vector<std::uint32_t> bitsPerSample, const std::vector<std::uint8_t>& strip,
                                  bool bigEndian) {
  TTiffFileBuilder b(bigEndian);
  b.AddStrip(strip);
  b.Set(tiff::tagImageWidth, tiff::ftLong, {width});
  b.Set(tiff::tagImageLength, tiff::ftLong, {height});
  const auto samples = static_cast<std::uint32_t>(bitsPerSample.size());
  b.Set(tiff::tagBitsPerSample, tiff::ftShort, std::move(bitsPerSample));
  b.Set(tiff::tagCompression, tiff::ftShort, {1});
  b.Set(tiff::tagPhotometric, tiff::ftShort, {photometric});
  b.Set(tiff::tagSamplesPerPixel, tiff::ftShort, {samples});
  b.Set(tiff::tagRowsPerStrip, tiff::ftLong, {height});
  b.SetStripEntries();
  return b;
}

}  // namespace pagewell::tifftest
