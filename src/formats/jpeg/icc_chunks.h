#pragma once
// ICC profiles in JPEG files: the APP2 chunk layout that the ICC.1 profile
// standard gives in its Annex B.4.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/metadata/icc_profile.h"

namespace pagewell {

// The bytes a JPEG chunk carries, and the most chunks a JPEG file can
// number (one byte): larger profiles cannot be embedded.
constexpr std::size_t kIccChunkSize = 65519;
constexpr std::size_t kIccMaxChunks = 255;
constexpr std::size_t kIccMaxEmbeddedSize = kIccChunkSize * kIccMaxChunks;

// The profile as APP2 segments: each chunk after "ICC_PROFILE", a zero
// byte, its sequence number (from 1) and the number of chunks. Empty for
// an empty profile and for one above kIccMaxEmbeddedSize.
std::vector<std::uint8_t> IccJpegSegments(const TICCProfile& profile);

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
