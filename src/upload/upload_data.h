#pragma once
// TUploadData: the bytes of the encoded file an upload sends, read piece by
// piece as the request body goes out, so a file on disk never has to be in
// memory whole. A read that cannot be served answers false; the upload
// then ends its attempt as when the connection drops.
#include <cstddef>
#include <cstdint>

#include "formats/memory_stream.h"

namespace pagewell {

class TUploadData {
 public:
  virtual ~TUploadData() = default;
  virtual std::uint64_t Size() const = 0;
  // Exactly `count` bytes from `offset` into `into`; false when they could
  // not be read (or lie past the end).
  virtual bool ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) = 0;
};

// A file held in memory; the stream must outlive the upload.
class TMemoryUploadData final : public TUploadData {
 public:
  explicit TMemoryUploadData(const TMemoryStream& file) : file_(file) {}
  std::uint64_t Size() const override { return file_.Size(); }
  bool ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;

 private:
  const TMemoryStream& file_;
};

}  // namespace pagewell
