#pragma once
// Where a GIF encoder's variable-width codes go. TGIFCodePacker packs them
// least significant bit first into bytes, as the GIF image data needs.
#include <cstdint>
#include <vector>

namespace pagewell {

class TGIFCodeWriter {
 public:
  virtual ~TGIFCodeWriter() = default;
  virtual void WriteCode(unsigned code, unsigned width) = 0;
};

class TGIFCodePacker : public TGIFCodeWriter {
 public:
  void WriteCode(unsigned code, unsigned width) override {
    buffer_ |= static_cast<std::uint32_t>(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(buffer_));
      buffer_ >>= 8;
      bits_ -= 8;
    }
  }
  // The packed bytes, the last partial byte padded with zero bits.
  std::vector<std::uint8_t> Finish() {
    if (bits_ > 0) bytes_.push_back(static_cast<std::uint8_t>(buffer_));
    buffer_ = 0, bits_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t buffer_ = 0;
  unsigned bits_ = 0;
};

}  // namespace pagewell
