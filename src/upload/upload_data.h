#pragma once
#include <cstddef>
#include <cstdint>
namespace pagewell {
class TUploadData {
 public:
  virtual ~TUploadData() = default;
  virtual std::uint64_t Size() const = 0;
  virtual bool ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) = 0;
};
}  // namespace pagewell
