#pragma once
// TICCProfile: the bytes of an ICC colour profile that travels with a page.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

struct TICCProfile {
  std::vector<std::uint8_t> Data;

  bool Empty() const { return Data.empty(); }
  void Clear() { Data.clear(); }
  bool operator==(const TICCProfile& other) const { return Data == other.Data; }

  // The bytes a JPEG chunk carries, and the most chunks a JPEG file can
  // number (one byte): larger profiles cannot be embedded.
  static constexpr std::size_t kChunkSize = 65519;
  static constexpr std::size_t kMaxChunks = 255;
  static constexpr std::size_t kMaxEmbeddedSize = kChunkSize * kMaxChunks;

  // The profile as APP2 segments: each chunk after "ICC_PROFILE", a zero
  // byte, its sequence number (from 1) and the number of chunks. Empty for
  // an empty profile and for one above kMaxEmbeddedSize.
  std::vector<std::uint8_t> JpegSegments() const;
};

// Collects the APP2 chunks of a profile as they are met in a file.
class TICCChunkCollector {
 public:
  // Takes one APP2 payload; answers false when it is not an ICC chunk.
  bool Add(const std::uint8_t* payload, std::size_t size);
  // The profile when chunks 1 to N of one consistent count all arrived,
  // else empty.
  std::vector<std::uint8_t> Profile() const;

 private:
  std::size_t count_ = 0;
  bool inconsistent_ = false;
  std::vector<std::vector<std::uint8_t>> chunks_;
  std::vector<bool> seen_;
};

}  // namespace pagewell
