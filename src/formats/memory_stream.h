#pragma once
// TMemoryStream: a growable byte stream with a position. Encoders build the
// whole file in memory and patch fields at absolute offsets, so each file is
// written into a fresh stream. Reads past the end raise EStreamError.
//
// A stream grows geometrically; a writer that knows the size of what it is
// about to write reserves it first, so that the bytes are placed once. The
// finished file leaves the stream with TakeBytes, without a copy.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pagewell {

class EStreamError : public std::runtime_error {
 public:
  explicit EStreamError(const std::string& message) : std::runtime_error(message) {}
};

class TMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}

  std::size_t Size() const { return data_.size(); }
  std::size_t Position() const { return position_; }
  // Positions past the end are allowed; a write there fills the gap with 0.
  void Seek(std::size_t position) { position_ = position; }
  void Clear() { data_.clear(), position_ = 0; }

  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  // Hands the bytes over and leaves the stream empty, at position 0.
  std::vector<std::uint8_t> TakeBytes();
  // Makes room for `count` more bytes after the end, so that writing them
  // moves nothing. Room is still added geometrically: a writer that
  // reserves a little at a time does not move the stream each time.
  void Reserve(std::size_t count);
  const std::uint8_t* Data() const { return data_.data(); }

  void Write(const void* bytes, std::size_t count);
  void WriteByte(std::uint8_t value) { Write(&value, 1); }
  void WriteString(const std::string& text) { Write(text.data(), text.size()); }
  void WriteU16LE(std::uint16_t value);
  void WriteU32LE(std::uint32_t value);
  void WriteU16BE(std::uint16_t value);
  void WriteU32BE(std::uint32_t value);

  // Reads exactly `count` bytes or raises EStreamError.
  void Read(void* bytes, std::size_t count);
  // Reads up to `count` bytes; answers how many were read.
  std::size_t ReadSome(void* bytes, std::size_t count);
  std::uint8_t ReadByte();

 private:
  std::vector<std::uint8_t> data_;
  std::size_t position_ = 0;
};

}  // namespace pagewell
