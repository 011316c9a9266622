#pragma once
// TByteSink: where an encoder that writes front to back puts its bytes, so a
// file of many pages can go to its destination page by page instead of
// being built whole in memory first. A sink that cannot take the bytes
// raises (EFileWriteError for a file, EStreamError for memory); the encoder
// lets the exception through, as it does with every other failure.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/memory_stream.h"

namespace pagewell {

class TByteSink {
 public:
  virtual ~TByteSink() = default;
  virtual void Write(const std::uint8_t* bytes, std::size_t count) = 0;

  void Write(const TMemoryStream& stream) { Write(stream.Data(), stream.Size()); }
  void Write(const std::string& text) { Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()); }
};

// Writes into a memory stream at its position.
class TMemoryStreamSink final : public TByteSink {
 public:
  explicit TMemoryStreamSink(TMemoryStream& stream) : stream_(stream) {}
  using TByteSink::Write;
  void Write(const std::uint8_t* bytes, std::size_t count) override { stream_.Write(bytes, count); }

 private:
  TMemoryStream& stream_;
};

}  // namespace pagewell
