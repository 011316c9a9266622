#pragma once
// A page file (the store's seam over a temporary file) used as a plain
// file: written from its start by an encoder, then read back by the
// upload as the file part of its request body.
#include <cstdint>

#include "formats/byte_sink.h"
#include "page_store/page_file.h"
#include "upload/upload_data.h"

namespace pagewell {

// Appends what it is given; a failed write raises EFileWriteError.
class TPageFileSink final : public TByteSink {
 public:
  explicit TPageFileSink(IPageFile& file) : file_(file) {}
  using TByteSink::Write;
  void Write(const std::uint8_t* bytes, std::size_t count) override;
  std::uint64_t Size() const { return size_; }

 private:
  IPageFile& file_;
  std::uint64_t size_ = 0;
};

// The first `size` bytes of the file.
class TPageFileUploadData final : public TUploadData {
 public:
  TPageFileUploadData(IPageFile& file, std::uint64_t size) : file_(file), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;

 private:
  IPageFile& file_;
  std::uint64_t size_;
};

}  // namespace pagewell
