#include "formats/jpeg/jpeg_segments.h"

#include <cstring>

namespace pagewell {
namespace {

// Markers that stand alone, without a length: SOI, EOI, RSTn and TEM.
bool IsStandalone(std::uint8_t marker) {
  return marker == kMarkerSOI || marker == kMarkerEOI || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01;
}

}  // namespace

std::vector<std::uint8_t> MarkerSegment(std::uint8_t marker, const std::uint8_t* payload, std::size_t size) {
  const std::size_t length = size + 2;
  std::vector<std::uint8_t> segment(4 + size);
  segment[0] = 0xFF;
  segment[1] = marker;
  segment[2] = static_cast<std::uint8_t>(length >> 8);
  segment[3] = static_cast<std::uint8_t>(length);
  if (size > 0) std::memcpy(segment.data() + 4, payload, size);
  return segment;
}

std::vector<TJpegSegment> SegmentsBeforeScan(const std::uint8_t* data, std::size_t size) {
  std::vector<TJpegSegment> segments;
  std::size_t at = 0;
  while (at < size) {
    if (data[at] != 0xFF) break;
    // Any number of fill bytes may precede a marker.
    while (at < size && data[at] == 0xFF) ++at;
    if (at >= size) break;
    const std::uint8_t marker = data[at++];
    if (marker == kMarkerSOS || marker == kMarkerEOI) break;
    if (IsStandalone(marker)) continue;
    if (size - at < 2) break;
    const std::size_t length = static_cast<std::size_t>(data[at] << 8 | data[at + 1]);
    if (length < 2 || length > size - at) break;
    segments.push_back({marker, data + at + 2, length - 2});
    at += length;
  }
  return segments;
}

}  // namespace pagewell
