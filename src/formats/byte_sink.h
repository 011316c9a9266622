#pragma once
#include <cstddef>
#include <cstdint>
#include "formats/memory_stream.h"
namespace pagewell {
class TByteSink {
 public:
  virtual ~TByteSink() = default;
  virtual void Write(const std::uint8_t* bytes, std::size_t count) = 0;
};
class TMemoryStreamSink final : public TByteSink {
 public:
  explicit TMemoryStreamSink(TMemoryStream& stream) : stream_(stream) {}
  void Write(const std::uint8_t* bytes, std::size_t count) override { stream_.Write(bytes, count); }
 private:
  TMemoryStream& stream_;
};
}  // namespace pagewell
