#include "formats/tiff/tiff_directory_writer.h"

#include <algorithm>

#include "formats/tiff/tiff_tags.h"

namespace pagewell {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, static_cast<std::uint16_t>(v));
  PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

constexpr std::size_t kEntrySize = 12;

}  // namespace

void WriteTiffHeader(TMemoryStream& file) {
  file.WriteByte('I');
  file.WriteByte('I');
  file.WriteU16LE(42);
  file.WriteU32LE(8);
}

bool TTiffDirectoryWriter::Has(std::uint16_t tag) const {
  return std::any_of(entries_.begin(), entries_.end(), [tag](const TEntry& e) { return e.tag == tag; });
}

void TTiffDirectoryWriter::Add(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                               std::vector<std::uint8_t> payload) {
  entries_.push_back({tag, type, count, std::move(payload), false, nullptr});
}

void TTiffDirectoryWriter::AddShort(std::uint16_t tag, std::uint16_t value) { AddShorts(tag, {value}); }

void TTiffDirectoryWriter::AddLong(std::uint16_t tag, std::uint32_t value) { AddLongs(tag, {value}); }

void TTiffDirectoryWriter::AddShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values) {
  std::vector<std::uint8_t> payload;
  for (std::uint16_t v : values) PutU16(payload, v);
  Add(tag, tiff::ftShort, static_cast<std::uint32_t>(values.size()), std::move(payload));
}

void TTiffDirectoryWriter::AddLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values) {
  std::vector<std::uint8_t> payload;
  for (std::uint32_t v : values) PutU32(payload, v);
  Add(tag, tiff::ftLong, static_cast<std::uint32_t>(values.size()), std::move(payload));
}

void TTiffDirectoryWriter::AddRationals(std::uint16_t tag, const std::vector<std::uint32_t>& numeratorsAndDenominators) {
  std::vector<std::uint8_t> payload;
  for (std::uint32_t v : numeratorsAndDenominators) PutU32(payload, v);
  Add(tag, tiff::ftRational, static_cast<std::uint32_t>(numeratorsAndDenominators.size() / 2), std::move(payload));
}

void TTiffDirectoryWriter::AddAscii(std::uint16_t tag, const std::string& text, std::size_t fixedLength) {
  std::vector<std::uint8_t> payload(text.begin(), text.end());
  payload.push_back(0);
  if (fixedLength > 0) {
    payload.resize(fixedLength, 0);
    payload.back() = 0;
  }
  const auto count = static_cast<std::uint32_t>(payload.size());
  Add(tag, tiff::ftAscii, count, std::move(payload));
}

void TTiffDirectoryWriter::AddUndefined(std::uint16_t tag, const std::vector<std::uint8_t>& bytes) {
  Add(tag, tiff::ftUndefined, static_cast<std::uint32_t>(bytes.size()), bytes);
}

void TTiffDirectoryWriter::AddValues(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                                     std::vector<std::uint8_t> bytes) {
  Add(tag, type, count, std::move(bytes));
}

void TTiffDirectoryWriter::AddDataOffset(std::uint16_t tag, const std::vector<std::uint8_t>& data) {
  entries_.push_back({tag, tiff::ftLong, 1, {}, true, nullptr, &data});
}

void TTiffDirectoryWriter::AddSubDirectory(std::uint16_t tag, TTiffDirectoryWriter directory) {
  entries_.push_back({tag, tiff::ftLong, 1, {}, true,
                      std::make_shared<const TTiffDirectoryWriter>(std::move(directory)), nullptr});
}

bool TTiffDirectoryWriter::IsInValueField(const TEntry& entry) const {
  return !entry.pointsToPayload && entry.payload.size() <= 4;
}

std::size_t TTiffDirectoryWriter::BlockSize(const TEntry& entry) const {
  if (IsInValueField(entry)) return 0;
  if (entry.subDirectory) return entry.subDirectory->LaidOutSize();
  return entry.borrowed ? entry.borrowed->size() : entry.payload.size();
}

std::size_t TTiffDirectoryWriter::LaidOutSize() const {
  std::size_t size = 2 + entries_.size() * kEntrySize + 4;
  for (const TEntry& e : entries_) size += (BlockSize(e) + 1) / 2 * 2;
  return size;
}

// The entries in ascending tag order, each value field holding its value or
// the offset of its block; then the blocks in the order added, each padded
// to an even length. A block is written straight into the file, a strip
// without any copy on the way.
void TTiffDirectoryWriter::Write(TMemoryStream& file, std::uint32_t at) const {
  std::vector<std::uint32_t> valueFields(entries_.size());
  std::size_t blockAt = at + 2 + entries_.size() * kEntrySize + 4;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const TEntry& e = entries_[i];
    if (IsInValueField(e)) {
      std::uint8_t inPlace[4] = {0, 0, 0, 0};
      std::copy(e.payload.begin(), e.payload.end(), inPlace);
      valueFields[i] = static_cast<std::uint32_t>(inPlace[0] | inPlace[1] << 8 | inPlace[2] << 16 |
                                                  static_cast<std::uint32_t>(inPlace[3]) << 24);
      continue;
    }
    valueFields[i] = static_cast<std::uint32_t>(blockAt);
    blockAt += (BlockSize(e) + 1) / 2 * 2;
  }

  std::vector<std::size_t> order(entries_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return entries_[a].tag < entries_[b].tag; });

  std::vector<std::uint8_t> directory;
  directory.reserve(2 + entries_.size() * kEntrySize + 4);
  PutU16(directory, static_cast<std::uint16_t>(entries_.size()));
  for (std::size_t i : order) {
    PutU16(directory, entries_[i].tag);
    PutU16(directory, entries_[i].type);
    PutU32(directory, entries_[i].count);
    PutU32(directory, valueFields[i]);
  }
  PutU32(directory, 0);  // next IFD: none yet
  file.Write(directory.data(), directory.size());

  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const TEntry& e = entries_[i];
    if (IsInValueField(e)) continue;
    if (e.subDirectory) {
      e.subDirectory->Write(file, valueFields[i]);
    } else {
      const std::vector<std::uint8_t>& block = e.borrowed ? *e.borrowed : e.payload;
      file.Write(block.data(), block.size());
    }
    if (BlockSize(e) % 2 != 0) file.WriteByte(0);
  }
}

std::uint32_t TTiffDirectoryWriter::WriteTo(TMemoryStream& file) const {
  return WriteTo(file, static_cast<std::uint32_t>(file.Size()));
}

std::uint32_t TTiffDirectoryWriter::WriteTo(TMemoryStream& file, std::uint32_t at) const {
  const std::size_t start = file.Size();
  file.Seek(start);
  file.Reserve(LaidOutSize() + 1);
  Write(file, at);
  if ((file.Size() - start) % 2 != 0) file.WriteByte(0);
  return static_cast<std::uint32_t>(start + 2 + entries_.size() * kEntrySize);
}

}  // namespace pagewell
