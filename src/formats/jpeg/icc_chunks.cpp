// ICC profiles in JPEG files: the APP2 chunk layout of the ICC
// standard gives in its Annex B.4.
#include "formats/jpeg/icc_chunks.h"

#include <algorithm>
#include <cstring>

#include "formats/jpeg/jpeg_segments.h"

namespace pagewell {
namespace {

constexpr char kIdentifier[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
constexpr std::size_t kHeaderSize = sizeof kIdentifier + 2;  // identifier, sequence, count

}  // namespace

std::vector<std::uint8_t> IccJpegSegments(const TICCProfile& profile) {
  std::vector<std::uint8_t> segments;
  if (profile.Data.empty() || profile.Data.size() > kIccMaxEmbeddedSize) return segments;
  const std::size_t chunkCount = (profile.Data.size() + kIccChunkSize - 1) / kIccChunkSize;
  std::vector<std::uint8_t> payload;
  for (std::size_t i = 0; i < chunkCount; ++i) {
    const std::size_t begin = i * kIccChunkSize;
    const std::size_t size = std::min(kIccChunkSize, profile.Data.size() - begin);
    payload.assign(kIdentifier, kIdentifier + sizeof kIdentifier);
    payload.push_back(static_cast<std::uint8_t>(i + 1));
    payload.push_back(static_cast<std::uint8_t>(chunkCount));
    payload.insert(payload.end(), profile.Data.begin() + static_cast<std::ptrdiff_t>(begin),
                   profile.Data.begin() + static_cast<std::ptrdiff_t>(begin + size));
    const auto segment = MarkerSegment(kMarkerAPP2, payload.data(), payload.size());
    segments.insert(segments.end(), segment.begin(), segment.end());
  }
  return segments;
}

bool TICCChunkCollector::Add(const std::uint8_t* payload, std::size_t size) {
  if (size < kHeaderSize || std::memcmp(payload, kIdentifier, sizeof kIdentifier) != 0) return false;
  const std::size_t sequence = payload[sizeof kIdentifier];
  const std::size_t count = payload[sizeof kIdentifier + 1];
  if (count_ == 0 && count > 0) {
    count_ = count;
    chunks_.resize(count);
    seen_.resize(count);
  }
  if (count != count_ || sequence < 1 || sequence > count_ || seen_[sequence - 1]) {
    inconsistent_ = true;
    return true;
  }
  seen_[sequence - 1] = true;
  chunks_[sequence - 1].assign(payload + kHeaderSize, payload + size);
  return true;
}

std::vector<std::uint8_t> TICCChunkCollector::Profile() const {
  std::vector<std::uint8_t> profile;
  if (count_ == 0 || inconsistent_ || std::find(seen_.begin(), seen_.end(), false) != seen_.end()) return profile;
  for (const auto& chunk : chunks_) profile.insert(profile.end(), chunk.begin(), chunk.end());
  return profile;
}

}  // namespace pagewell
