#include "formats/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pagewell {

void TMemoryStream::Write(const void* bytes, std::size_t count) {
  if (count == 0) return;
  const auto* first = static_cast<const std::uint8_t*>(bytes);
  if (position_ == data_.size()) {
    // Appending, the usual case: the bytes are placed once, without first
    // filling the new room with zeros.
    data_.insert(data_.end(), first, first + count);
  } else {
    if (position_ + count > data_.size()) data_.resize(position_ + count, 0);
    std::memcpy(data_.data() + position_, first, count);
  }
  position_ += count;
}

void TMemoryStream::Reserve(std::size_t count) {
  const std::size_t needed = data_.size() + count;
  if (needed > data_.capacity()) data_.reserve(std::max(needed, 2 * data_.capacity()));
}

std::vector<std::uint8_t> TMemoryStream::TakeBytes() {
  std::vector<std::uint8_t> bytes = std::move(data_);
  Clear();
  return bytes;
}

void TMemoryStream::WriteU16LE(std::uint16_t value) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
  Write(b, 2);
}

void TMemoryStream::WriteU32LE(std::uint32_t value) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  Write(b, 4);
}

void TMemoryStream::WriteU16BE(std::uint16_t value) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
  Write(b, 2);
}

void TMemoryStream::WriteU32BE(std::uint32_t value) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                             static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
  Write(b, 4);
}

std::size_t TMemoryStream::ReadSome(void* bytes, std::size_t count) {
  const std::size_t available = position_ < data_.size() ? data_.size() - position_ : 0;
  const std::size_t n = std::min(count, available);
  if (n > 0) std::memcpy(bytes, data_.data() + position_, n);
  position_ += n;
  return n;
}

void TMemoryStream::Read(void* bytes, std::size_t count) {
  if (ReadSome(bytes, count) != count) throw EStreamError("Stream read error");
}

std::uint8_t TMemoryStream::ReadByte() {
  std::uint8_t value = 0;
  Read(&value, 1);
  return value;
}

}  // namespace pagewell
