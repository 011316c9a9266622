#pragma once
// Marker segments of a JPEG file: building the metadata segments the
// writer inserts, and walking the segments in front of the first scan.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

constexpr std::uint8_t kMarkerSOI = 0xD8;
constexpr std::uint8_t kMarkerEOI = 0xD9;
constexpr std::uint8_t kMarkerSOS = 0xDA;
constexpr std::uint8_t kMarkerDQT = 0xDB;
constexpr std::uint8_t kMarkerAPP1 = 0xE1;
constexpr std::uint8_t kMarkerAPP2 = 0xE2;
constexpr std::uint8_t kMarkerAPP13 = 0xED;

// The largest payload one segment can carry (its 16-bit length counts
// itself too).
constexpr std::size_t kMaxSegmentPayload = 0xFFFF - 2;

// FF, the marker, the length (payload + 2, big-endian), the payload.
// The payload must fit (kMaxSegmentPayload).
std::vector<std::uint8_t> MarkerSegment(std::uint8_t marker, const std::uint8_t* payload, std::size_t size);

struct TJpegSegment {
  std::uint8_t Marker;
  const std::uint8_t* Payload;  // after the length field
  std::size_t Size;
};

// The segments from the start of the data up to (not including) the first
// SOS, or up to the end or the first byte that is not a marker. Lengths
// that run past the end stop the walk; nothing is read outside the data.
std::vector<TJpegSegment> SegmentsBeforeScan(const std::uint8_t* data, std::size_t size);

}  // namespace pagewell
