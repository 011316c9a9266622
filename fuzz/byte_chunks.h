#pragma once
// Chunk sizes for feeding a fuzz input to a reader the way a socket hands
// bytes over: a small generator draws each size up to a limit the seed
// picks (one byte at a time, a few, or pieces up to the 16 KiB the service
// reads at once), or all at once.
#include <cstddef>
#include <cstdint>

namespace pagewell::fuzzing {

class ByteChunks {
 public:
  explicit ByteChunks(std::uint8_t seed) : state_(seed * 2654435761u + 1), limit_(kLimits[seed % kLimitCount]) {}
  static ByteChunks whole() { return ByteChunks(0, 0); }
  // A long stream goes in pieces of up to 130 bytes or more: a byte or a
  // few at a time, it would take most of the fuzzer's time (readers that
  // look at what they hold again on every read take time in the square of
  // it) and show no more than a short one does.
  static ByteChunks forStream(std::uint8_t seed, std::size_t streamBytes) {
    return ByteChunks(streamBytes > kLongStream ? kFirstLargeLimit + seed % (kLimitCount - kFirstLargeLimit) : seed);
  }

  std::size_t next() {
    if (limit_ == 0) return SIZE_MAX;
    state_ = state_ * 1664525u + 1013904223u;
    return 1 + (state_ >> 8) % limit_;
  }

 private:
  ByteChunks(std::uint32_t state, std::size_t limit) : state_(state), limit_(limit) {}

  static constexpr std::size_t kLimitCount = 6;
  static constexpr std::size_t kLimits[kLimitCount] = {1, 3, 7, 130, 4096, 16384};
  static constexpr std::uint8_t kFirstLargeLimit = 3;
  static constexpr std::size_t kLongStream = 1024;
  std::uint32_t state_;
  std::size_t limit_;  // 0: everything at once
};

}  // namespace pagewell::fuzzing
